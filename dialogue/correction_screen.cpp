// The correction-screen engine that runs every data-entry screen's item table.
#include "dialogue/correction_screen.hpp"

#include "record/components.hpp"

namespace zelk {

namespace {

constexpr std::string_view indent = "      ";

void promptItem(Console& console, const Item& item) {
    if (!item.headLine.empty()) {
        console.write(indent);
        console.write(item.headLine);
        console.write("\n");
    }
    console.write(indent);
    console.prompt(item.label);
}

void storeInMg(const NumberField& number) {
    const StoredInMg& stored = number.stored;
    *stored.mg = mmolToMg(stored.component, *number.value, stored.density ? *stored.density : 1.0f);
}

// After a number is read: stores it in mg if it was typed in m-mole, or, if it was a density,
// stores anew every number stored with it.
void storeConverted(std::span<const Item> items, const NumberField& read) {
    if (read.stored.mg) storeInMg(read);
    if (!read.isDensity) return;
    for (const Item& item : items)
        if (const auto* number = std::get_if<NumberField>(&item.field); number && number->stored.density == read.value)
            storeInMg(*number);
}

// Reads the item's field into its target and does what follows a read; false on an input
// error, the target unchanged.
bool readItem(Console& console, std::span<const Item> items, const Item& item, bool firstPass) {
    const std::string_view line = console.readLine();
    if (const auto* text = std::get_if<TextField>(&item.field)) {
        readA(line, text->text, text->length);
        if (item.afterRead) item.afterRead(firstPass);
        return true;
    }
    const NumberField& number = std::get<NumberField>(item.field);
    if (!readF15(line, *number.value)) return false;
    if (item.afterRead) item.afterRead(firstPass);
    storeConverted(items, number);
    return true;
}

void listItems(Console& console, std::span<const Item> items) {
    TextBuffer& out = console.out();
    int number = 0;
    for (const Item& item : items) {
        renderI(out, ++number, 3);
        out.append(" : ");
        if (!item.headLine.empty()) {
            out.append(item.headLine);
            out.push_back('\n');
            out.append(indent);
        }
        out.append(item.label);
        if (const auto* text = std::get_if<TextField>(&item.field)) {
            const std::string_view value(text->text, text->length);
            if (text->list.whole)
                renderA(out, value);
            else
                renderAw(out, value, text->list.width);
        } else {
            const NumberField& number = std::get<NumberField>(item.field);
            renderF(out, *number.value, number.list.width, number.list.decimals);
        }
        out.push_back('\n');
    }
}

// Asks every item once, from the first again after an input error.
void firstPass(Console& console, const ScreenShape& shape) {
    const int count = static_cast<int>(shape.items.size());
    for (;;) {
        if (shape.startFirstPass) shape.startFirstPass();
        bool whole = true;
        for (int position = 0; position < count && whole; ++position) {
            const int number = shape.firstPassOrder.empty() ? position + 1 : shape.firstPassOrder[position];
            const Item& item = shape.items[static_cast<std::size_t>(number - 1)];
            promptItem(console, item);
            whole = readItem(console, shape.items, item, true);
        }
        if (whole) return;
        writeErrorMessage(console);
    }
}

}  // namespace

void writeErrorMessage(Console& console) {
    TextBuffer& out = console.out();
    out.push_back('\n');
    renderA(out, std::int32_t{7});
    out.append(" ERROR IN INPUT DATA. TRY THIS AGAIN.");
    renderA(out, std::int32_t{7});
    out.append("\n\n");
}

std::string componentLabel(int component, int nameWidth, std::string_view suffix) {
    std::string label = renderAw(nam(component), nameWidth);
    label.append(suffix);
    return label;
}

std::optional<int> askItemNumber(Console& console) {
    console.prompt(
        "\n\n Do you wish to correct any of these items?\n\n Type item number, or\n"
        " <RETURN> if no                  :  ");
    return readI(console.readLine(), 5);
}

void runScreen(Console& console, const ScreenShape& shape) {
    firstPass(console, shape);

    const int count = static_cast<int>(shape.items.size());
    int number = 0;
    int passesLeft = shape.passLimit;
    for (;;) {
        if (shape.passLimit > 0 && passesLeft-- == 0) return;
        console.emptyLines(shape.passLead);
        if (number >= 1 && number <= count) {
            const Item& item = shape.items[static_cast<std::size_t>(number - 1)];
            console.emptyLines(shape.reentryLead);
            promptItem(console, item);
            if (!readItem(console, shape.items, item, false)) {
                // The item keeps its value; the correction phase starts afresh from the list.
                writeErrorMessage(console);
                number = 0;
                passesLeft = shape.passLimit;
                continue;
            }
        }
        console.emptyLines(shape.listLead);
        listItems(console, shape.items);
        const std::optional<int> answer = askItemNumber(console);
        if (!answer) {
            writeErrorMessage(console);
            number = 0;
            passesLeft = shape.passLimit;
            continue;
        }
        number = *answer;
        if (number < 1 || number > count) return;
    }
}

}  // namespace zelk
