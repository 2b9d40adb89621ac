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

// Reads the item's field into its target; false on an input error, the target unchanged.
bool readItem(Console& console, const Item& item) {
    const std::string_view line = console.readLine();
    if (item.text) {
        readA(line, item.text, item.textLength);
        return true;
    }
    const std::optional<float> value = readF15(line);
    if (!value) return false;
    *item.real = *value;
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
        switch (item.list.kind) {
            case ListField::Text: renderA(out, std::string_view(item.text, item.textLength)); break;
            case ListField::TextWidth:
                renderAw(out, std::string_view(item.text, item.textLength), item.list.width);
                break;
            case ListField::Real: renderF(out, *item.real, item.list.width, item.list.digits); break;
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
            whole = readItem(console, item);
            if (whole && shape.afterRead) shape.afterRead(number, true);
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
            if (!readItem(console, item)) {
                // The item keeps its value; the correction phase starts afresh from the list.
                writeErrorMessage(console);
                number = 0;
                passesLeft = shape.passLimit;
                continue;
            }
            if (shape.afterRead) shape.afterRead(number, false);
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
