// Translator: the main window's on-demand translation of a word or sentence
// (Tf_main.trans).  It never blocks the caller: `done` runs later on the UI
// thread with the translation (code page 932 bytes), or with an empty text
// when there is none (no service set, a failure, the time limit passed).
#pragma once

#include <functional>
#include <string>

class Translator {
 public:
  virtual ~Translator() = default;
  virtual void trans(const std::string& text932,
                     std::function<void(const std::string& ja932)> done) = 0;
};
