// The console object.
#include "dialogue/console.hpp"

namespace zelk {

Console::Console(ByteSource& source, ByteSink& sink) : lines_(source, kept), sink_(sink) {}

Console::~Console() {
    // Whatever is left goes out, but a destructor must not throw.
    try {
        flush();
    } catch (...) {
    }
}

void Console::prompt(std::string_view text) {
    pending_.append(text);
    flush();
}

void Console::flush() {
    if (pending_.empty()) return;
    sink_.write(pending_.view());
    pending_.clear();
}

}  // namespace zelk
