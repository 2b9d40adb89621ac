// The report's page: polyglot HTML5 (well-formed XML too), its style sheet inline, the table
// streamed row by row, then the pictures as inline SVG.
#include "zelkfile/report_page.hpp"

#include "base/characters.hpp"
#include "base/startup.hpp"

#include <algorithm>

#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

constexpr std::string_view styleSheet = R"(
body { font-family: 'DejaVu Sans', sans-serif; font-size: 13px; color: #111; margin: 16px 24px; }
h1 { font-size: 20px; margin: 0 0 8px; }
h2 { font-size: 16px; margin: 24px 0 8px; }
p.file { margin: 2px 0; }
span.swatch { display: inline-block; width: 10px; height: 10px; border-radius: 5px; margin-right: 6px; border: 0.5px solid black; }
table { border-collapse: collapse; font-size: 11px; }
div.table { overflow-x: auto; }
th, td { padding: 2px 4px; border-bottom: 1px solid #ddd; text-align: right; white-space: nowrap; }
th { position: sticky; top: 0; background: #f2f2f2; vertical-align: bottom; white-space: normal; font-size: 11px; }
td.text, th.text { text-align: left; }
td.text { white-space: normal; }
td.notes { text-align: left; white-space: normal; min-width: 10em; }
figure { margin: 24px 0; break-inside: avoid; page-break-inside: avoid; }
figure svg { display: block; max-width: 100%; height: auto; }
figcaption { max-width: 800px; margin-top: 6px; }
p.not-drawn { max-width: 800px; color: #444; }
@page { size: A4 landscape; margin: 10mm; }
@media print {
  body { margin: 0; font-size: 9pt; }
  table { font-size: 7pt; }
  th { position: static; }
  div.table { overflow: visible; }
  thead { display: table-header-group; }
  tr { break-inside: avoid; page-break-inside: avoid; }
  figure { break-before: page; page-break-before: always; }
  figure svg { max-height: 160mm; width: auto; }
}
)";

// A cell that reads as a number is set to the right, any other text to the left.
bool numeric(std::string_view text) {
    const std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    return at < text.size() && isDigit(text[at]);
}

// Text that may break after each of the characters given: a column's name after its
// underscores ("alpha_cristobalite"), a file's name after its slashes.
void breakable(std::string& out, std::string_view text, char after) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(after, at), text.size() - 1) + 1;
        out += xmlText(text.substr(at, end - at));
        if (end < text.size()) out += "<wbr/>";
        at = end;
    }
}

std::string samplesText(long count) { return concat({std::to_string(count), count == 1 ? " sample" : " samples"}); }

}  // namespace

ReportPage::ReportPage(std::string path, std::vector<ReportedFile> files)
    : path_(std::move(path)), files_(std::move(files)) {
    long total = 0;
    for (const ReportedFile& file : files_) total += file.samples;
    if (total > static_cast<long>(labelledSamplesAtMost)) {
        triangle_.stream();
        anions_.stream();
        enthalpyChloride_.stream();
        silicaEnthalpy_.stream();
    }
}

void ReportPage::flush(std::string& text) {
    if (writeError_.empty()) {
        try {
            file_->write(text);
        } catch (const OutputFailure& failure) {
            writeError_ = failure.what();
        }
    }
    text.clear();
}

bool ReportPage::open(std::string& error) {
    try {
        file_ = std::make_unique<PreparedOutput>(path_);
    } catch (const OutputFailure& failure) {
        error = failure.what();
        return false;
    }
    long total = 0;
    std::string names;
    for (const ReportedFile& file : files_) {
        total += file.samples;
        names += names.empty() ? "" : ", ";
        names += asUtf8(file.name);
    }
    Markup page(buffer_);
    page.raw("<!DOCTYPE html>\n");
    page.open("html", {{"xmlns", "http://www.w3.org/1999/xhtml"}, {"lang", "en"}, {"xml:lang", "en"}});
    page.raw("\n");
    page.open("head");
    page.empty("meta", {{"charset", "UTF-8"}});
    page.element("title", {}, concat({"Geothermometers: ", names}));
    page.open("style");
    page.raw(styleSheet);
    page.close();
    page.close();
    page.open("body");
    page.raw("\n");
    page.element("h1", {}, concat({"Geothermometers of ", samplesText(total)}));
    for (std::size_t i = 0; i < files_.size(); ++i) {
        page.open("p", {{"class", "file"}});
        page.element("span", {{"class", "swatch"}, {"style", concat({"background: ", fileColour(i)})}}, "");
        page.element("strong", {}, asUtf8(files_[i].name));
        page.text(concat({": ", samplesText(files_[i].samples)}));
        page.close();
    }
    page.element("h2", {}, "Every sample");
    page.element("p", {},
                 "Temperatures in \u00B0C; an empty cell has no value (an input zero, negative or lost, or "
                 "no temperature from the equation). The silica temperatures use the silica of the total "
                 "discharge, SiO2 (1 - x), except quartz_steam_loss. The first column numbers the samples "
                 "across the page, as the pictures do.");
    page.open("div", {{"class", "table"}});
    page.open("table", {{"class", "samples"}});
    return true;
}

void ReportPage::sample(std::size_t file, std::span<const PageCell> cells, std::span<const std::string> notes,
                        const SampleRecord& record, const Geothermometers& g, std::optional<double> hco3) {
    ++number_;
    Markup page(buffer_);
    if (number_ == 1) {
        columns_ = cells.size();
        buffer_ += "<thead><tr><th>#</th>";
        for (const PageCell& cell : cells) {
            buffer_ += numeric(cell.text) ? "<th>" : "<th class=\"text\">";
            breakable(buffer_, cell.column, '_');
            buffer_ += "</th>";
        }
        buffer_ += "<th class=\"text\">notes</th></tr></thead>\n<tbody>\n";
    }
    buffer_ += concat({"<tr id=\"sample-", std::to_string(number_), "\"><td>", std::to_string(number_), "</td>"});
    for (std::size_t c = 0; c < columns_; ++c) {
        const std::string_view text = c < cells.size() ? std::string_view(cells[c].text) : std::string_view();
        if (c == 0) {
            buffer_ += concat({"<td class=\"text file\"><span class=\"swatch\" style=\"background: ", fileColour(file),
                               "\"></span>"});
            breakable(buffer_, text, '/');
        } else {
            buffer_ += numeric(text) || text.empty() ? "<td>" : "<td class=\"text\">";
            page.text(text);
        }
        buffer_ += "</td>";
    }
    buffer_ += "<td class=\"notes\">";
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (i > 0) buffer_ += "; ";
        page.text(notes[i]);
    }
    buffer_ += "</td></tr>\n";

    const PictureSample picture{file, number_, record, g, hco3};
    triangle_.sample(picture);
    anions_.sample(picture);
    enthalpyChloride_.sample(picture);
    silicaEnthalpy_.sample(picture);
    if (buffer_.size() >= gatheredBytes) flush(buffer_);
}

bool ReportPage::commit(const Replay& replay, std::string& error) {
    Markup page(buffer_, [this](std::string& text) { flush(text); });
    buffer_ += number_ > 0 ? "</tbody>\n" : "<tbody><tr><td>No samples.</td></tr></tbody>\n";
    page.raw("</table></div>\n");
    page.element("h2", {}, "Diagrams");
    // Each picture with its caption and the samples it could not draw, kept on one printed page.
    const auto figure = [&](std::string_view id, const auto& draw, const std::string& caption,
                            const PlottedSamples& samples) {
        page.open("figure", {{"id", std::string(id)}});
        page.raw("\n");
        if (!draw() && writeError_.empty()) writeError_ = "the files changed while they were read; the page is not written";
        page.element("figcaption", {}, caption);
        if (const std::string leftOut = samples.leftOut(); !leftOut.empty())
            page.element("p", {{"class", "not-drawn"}}, leftOut);
        page.close();
    };
    figure("na-k-mg", [&] { return triangle_.draw(page, files_, false, replay); }, triangle_.caption(),
           triangle_.samples());
    figure("cl-so4-hco3", [&] { return anions_.draw(page, files_, replay); }, anions_.caption(), anions_.samples());
    figure("enthalpy-chloride", [&] { return enthalpyChloride_.draw(page, files_, replay); },
           enthalpyChloride_.caption(), enthalpyChloride_.samples());
    figure("silica-enthalpy", [&] { return silicaEnthalpy_.draw(page, files_, replay); }, silicaEnthalpy_.caption(),
           silicaEnthalpy_.samples());
    page.raw("</body>\n</html>\n");
    flush(buffer_);
    if (writeError_.empty()) {
        try {
            file_->sync();
            // From here the page goes in place and the run says so, whatever signal comes.
            holdSignalsToTheEnd();
            file_->commit();
        } catch (const OutputFailure& failure) {
            writeError_ = failure.what();
        }
    }
    error = writeError_;
    return writeError_.empty();
}

}  // namespace zelk::workbench
