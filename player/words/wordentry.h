// Registering a word selected on the overlay (the main window's wordentry): its
// translation is fetched, and one record is added to "word.csv".
//
// The translation arrives asynchronously; the record is written when it
// comes, or without it when it has not come within `waitMs`.  Then the log
// line says the word was registered, or a message says why it was not.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class MainHost;
class QObject;
class Translator;

struct WordEntryResult {
  bool ok = false;
  std::string lasttrans;  // the translation after the record's replacements (932)
  std::string error;      // why the record was not written (UTF-8)
};

// slot: the overlay's cue; word and sentence: 932 bytes (the selection and
// that slot's text).  The work and the moment are those of the call.
// Nothing is written once `owner` (whose life bounds the host's) is gone.
// `done` (optional) runs once at the end, after the log line or message.
void wordentry(MainHost& host, QObject* owner, Translator& translator, int32_t slot, const std::string& word932,
               const std::string& sentence932, int waitMs = 5000,
               std::function<void(const WordEntryResult&)> done = {});
