// Buffered appending to a std::string for the value encoder: small pieces are gathered in a
// fixed buffer and appended to the string in blocks, so each piece costs a bounds check and a
// short copy instead of a call into the string.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

class TextWriter {
  public:
    static constexpr size_t Capacity = 8192;

    explicit TextWriter(std::string& out) : out_(out) {}
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    // The text reaches the string only through flush(): a flush may throw, so the destructor
    // does not do it.
    ~TextWriter() = default;

    // Appends a literal; its length is known at compile time.
    template <size_t N>
    void put(const char (&literal)[N]) {
        write(literal, N - 1);
    }

    void write(const char* text, size_t length) {
        if (length > Capacity - used_) {
            flush();
            if (length > Capacity) {
                out_.append(text, length);
                return;
            }
        }
        std::memcpy(buffer_ + used_, text, length);
        used_ += length;
    }

    // Space for at most `length` (<= Capacity) characters at the end of the text; the caller
    // writes there and then calls commit() with the end of what it wrote.
    char* room(size_t length) {
        if (length > Capacity - used_) {
            flush();
        }
        return buffer_ + used_;
    }
    void commit(const char* end) { used_ = static_cast<size_t>(end - buffer_); }

    // Length of the whole text written so far, the string's earlier content included.
    size_t length() const { return out_.size() + used_; }

    // Makes the string take `more` characters after the text written so far without growing.
    void expect(size_t more) {
        const size_t needed = length() + more;
        if (needed > out_.capacity()) {
            out_.reserve(needed);
        }
    }

    void flush() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

    // The string with everything written so far, for a long piece written straight into it.
    // Room for the piece and one more buffer of text after it is reserved.
    std::string& flushedFor(size_t pieceLength) {
        expect(pieceLength + Capacity);
        flush();
        return out_;
    }

  private:
    std::string& out_;
    size_t used_ = 0;
    char buffer_[Capacity];
};
