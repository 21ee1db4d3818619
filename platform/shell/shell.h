// Handing files and addresses to the desktop, and starting other programs.
//
// Targets and paths are UTF-8.  DesktopShell is the real backend (the
// desktop's handler for files and URLs, detached processes); FakeShell
// records the calls and answers as told.
#pragma once

#include <string>
#include <vector>

namespace tl {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a file (a path) or an address ("http://...", "mailto:...") with the
  // desktop's handler.  A leading "URL:" is dropped.  False with the reason
  // when there is no handler or the file does not exist.
  virtual bool open(const std::string& target, std::string* err = nullptr) = 0;
  // Starts a program detached (not waited for).  False with the reason when
  // it cannot start.
  virtual bool startProgram(const std::string& path, const std::vector<std::string>& args,
                            std::string* err = nullptr) = 0;
};

class DesktopShell : public Shell {
 public:
  bool open(const std::string& target, std::string* err = nullptr) override;
  bool startProgram(const std::string& path, const std::vector<std::string>& args,
                    std::string* err = nullptr) override;
};

class FakeShell : public Shell {
 public:
  struct Start {
    std::string path;
    std::vector<std::string> args;
  };
  bool open(const std::string& target, std::string* err = nullptr) override {
    opened.push_back(target);
    if (!result && err) *err = "refused by the fake";
    return result;
  }
  bool startProgram(const std::string& path, const std::vector<std::string>& args,
                    std::string* err = nullptr) override {
    started.push_back({path, args});
    if (!result && err) *err = "refused by the fake";
    return result;
  }
  std::vector<std::string> opened;
  std::vector<Start> started;
  bool result = true;  // what every call answers
};

// Whether the target is an address with a scheme rather than a file path
// (after dropping a leading "URL:").
bool isUrlTarget(const std::string& target);

}  // namespace tl
