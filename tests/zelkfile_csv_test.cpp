// Tables read row by row: quoting, line ends, the byte-order mark, the separator of the header
// row, row numbers as a spreadsheet shows them; and cells quoted for writing read back whole.
#include <gtest/gtest.h>

#include <random>

#include "zelkfile/csv.hpp"

namespace zelk::workbench {
namespace {

struct Read {
    std::vector<std::pair<long, std::vector<std::string>>> rows;
    std::optional<CsvFault> fault;
    char separator = 0;
};

Read read(const std::string& bytes, std::size_t chunk) {
    StringSource source(bytes, chunk);
    CsvReader reader(source);
    Read result;
    result.fault = reader.read([&](const CsvRow& row) {
        result.rows.emplace_back(row.number, std::vector<std::string>(row.cells.begin(), row.cells.end()));
        return true;
    });
    result.separator = reader.separator();
    return result;
}

using Rows = std::vector<std::pair<long, std::vector<std::string>>>;

TEST(CsvReader, ReadsTheDialects) {
    struct Case {
        const char* what;
        std::string bytes;
        char separator;
        Rows rows;
    };
    const Case cases[] = {
        {"LF", "a,b\n1,2\n", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"CRLF, no end", "a,b\r\n1,2", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"CR alone", "a,b\r1,2\r", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"byte-order mark", "\xEF\xBB\xBF" "a;b\n1,5;2\n", ';', {{1, {"a", "b"}}, {2, {"1,5", "2"}}}},
        {"tabs", "a\tb\n1,5\t \n", '\t', {{1, {"a", "b"}}, {2, {"1,5", " "}}}},
        {"the header's separator, not the first in the file", "a;b\n1,5;2,5\n", ';', {{1, {"a", "b"}}, {2, {"1,5", "2,5"}}}},
        {"a separator inside the header's quotes", "\"a,b\";c\n", ';', {{1, {"a,b", "c"}}}},
        {"one column", "a\n1\n", ',', {{1, {"a"}}, {2, {"1"}}}},
        {"quotes, separators and line breaks in cells; rows counted once",
         "a,b\n\"x\ny\",\"1,\"\"2\"\"\"\n\n\"\",  3 \r\n", ',',
         {{1, {"a", "b"}}, {2, {"x\ny", "1,\"2\""}}, {4, {"", "  3 "}}}},
        {"empty lines counted, not handed on", "\n\na\r\n\r\nb\n", ',', {{3, {"a"}}, {5, {"b"}}}},
        {"empty cells", ",\n,,\n", ',', {{1, {"", ""}}, {2, {"", "", ""}}}},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{1} << 16}) {
            SCOPED_TRACE(std::string(c.what) + ", chunks of " + std::to_string(chunk));
            const Read got = read(c.bytes, chunk);
            EXPECT_FALSE(got.fault) << got.fault->message;
            EXPECT_EQ(got.separator, c.separator);
            EXPECT_EQ(got.rows, c.rows);
        }
    }
}

TEST(CsvReader, FaultsNameTheRow) {
    const std::string quoting = "the quoting is broken: a quote inside a cell that does not begin with one, text "
                                "after a closing quote, or a quote never closed";
    struct Case {
        std::string bytes;
        long row;
        std::string message;
    };
    const Case cases[] = {
        {"a\nb\"c\n", 2, quoting},
        {"a\n\"b\"c\n", 2, quoting},
        {"a\n\n\"b\n", 3, quoting},
        {"a\n" + std::string(70000, 'x'), 2, "a cell of more than 65536 bytes"},
        {"a\n\"" + std::string(200000, 'x'), 2, "a cell of more than 65536 bytes"},
        {"a\n" + std::string(2000, ','), 2, "a row of more than 1024 cells"},
    };
    for (const Case& c : cases) {
        const Read got = read(c.bytes, 1 << 16);
        ASSERT_TRUE(got.fault) << c.bytes.substr(0, 20);
        EXPECT_EQ(got.fault->row, c.row);
        EXPECT_EQ(got.fault->message, c.message);
    }
}

TEST(AppendCell, ReadsBackWhole) {
    std::mt19937 random(5);
    const std::string alphabet = std::string("ab ,;\t\"\r\n\xB0'=") + '\0';
    for (char separator : {',', ';', '\t'}) {
        for (int i = 0; i < 500; ++i) {
            std::vector<std::string> cells(1 + random() % 4);
            for (std::string& cell : cells)
                for (int n = static_cast<int>(random() % 6); n > 0; --n) cell += alphabet[random() % alphabet.size()];
            // The first cell sets the separator: made to hold it outside quotes.
            std::string row = "h";
            for (std::size_t c = 1; c < cells.size() + 1; ++c) row += separator + std::string("h");
            row += "\n";
            for (std::size_t c = 0; c < cells.size(); ++c) {
                row += separator;
                appendCell(row, cells[c], separator);
            }
            row += "\n";
            const Read got = read(row, 1 << 16);
            ASSERT_FALSE(got.fault) << row;
            // Read back with the formula guard where one was put, which import takes off again.
            std::vector<std::string> expected = {""};
            for (const std::string& cell : cells) expected.push_back((needsFormulaGuard(cell) ? "'" : "") + cell);
            ASSERT_EQ(got.rows.size(), 2u) << row;
            ASSERT_EQ(got.rows[1].second, expected) << row;
        }
    }
    std::string plain;
    appendCell(plain, "7.3", ',');
    appendCell(plain, "a;b", ',');
    EXPECT_EQ(plain, "7.3a;b");
}

}  // namespace
}  // namespace zelk::workbench
