// Text on its way out: the console's screens until the next prompt, a block of the output
// file. Appends like a string, and lets a field be written straight into its room without
// that room being cleared first, which a string cannot.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace zelk {

class TextBuffer {
public:
    explicit TextBuffer(std::size_t capacity = 4096) { reallocate(capacity); }
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    std::string_view view() const { return {data_.get(), size_}; }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }

    // At least n bytes of room after the text, not yet part of it and not cleared.
    char* room(std::size_t n) {
        if (capacity_ - size_ < n) reallocate(size_ + n);
        return data_.get() + size_;
    }
    // The first n bytes of the room become part of the text.
    void commit(std::size_t n) { size_ += n; }

    void append(std::string_view text) {
        std::memcpy(room(text.size()), text.data(), text.size());
        size_ += text.size();
    }
    void append(std::size_t count, char c) {
        std::memset(room(count), c, count);
        size_ += count;
    }
    void push_back(char c) {
        *room(1) = c;
        ++size_;
    }

private:
    // Grows to hold at least need bytes, keeping the text; rare, so kept out of the way.
    [[gnu::noinline]] void reallocate(std::size_t need) {
        std::size_t capacity = capacity_ ? capacity_ : 64;
        while (capacity < need) capacity *= 2;
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace zelk
