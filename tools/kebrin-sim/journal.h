// The call journal: one JSON object per accepted call, UTF-8, flushed line by line, e.g.
//   {"seq":1,"call":"SetQsoField","args":[0,"DL1ABC"]}
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// One argument, already in JSON form (see JsonString in json_text.h / FormatDouble).
class Journal {
  public:
    Journal() = default;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    ~Journal();

    // Opens `path` for appending (binary: no CR LF translation); false when it can't.
    bool Open(const std::wstring& path);
    // Writes the next line, numbering calls from 1. Does nothing when no file is open.
    void Write(std::string_view call, const std::string& jsonArgs);

  private:
    std::FILE* m_file = nullptr;
    long m_seq = 0;
};
