// The call journal: one JSON object per accepted call, UTF-8, flushed line by line, e.g.
//   {"seq":1,"call":"SetQsoField","args":[0,"DL1ABC"]}
#pragma once

#include <string>
#include <string_view>

#include "base/c_file.h"

// One argument, already in JSON form (see JsonString in json_text.h / FormatDouble).
class Journal {
  public:
    // Opens `path` for appending (binary: no CR LF translation); false when it can't.
    bool Open(const std::wstring& path);
    // Writes the next line, numbering calls from 1. Does nothing when no file is open.
    void Write(std::string_view call, const std::string& jsonArgs);

  private:
    CFile m_file;
    long m_seq = 0;
};
