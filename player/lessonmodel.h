// LessonModel: the data of one run of the main window (the lesson, the
// options, the typing state), with one signal that announces every change.
//
// Windows read the data through the model and subscribe to `changed`; they
// repaint what the change kind touches.  Changes are made by the main
// window's operations (Tf_main entry points), which announce them here.
#pragma once

#include <QObject>
#include <vector>

#include "core/change.h"
#include "core/dictation.h"
#include "core/lesson.h"
#include "core/options.h"

class LessonModel : public QObject {
  Q_OBJECT
 public:
  explicit LessonModel(QObject* parent = nullptr) : QObject(parent) {}

  tl::Lesson& lesson() { return lesson_; }
  const tl::Lesson& lesson() const { return lesson_; }
  tl::Options& options() { return options_; }
  const tl::Options& options() const { return options_; }
  tl::Dictation& dictation() { return dictation_; }

  // Number of the current load; a new SRT load (or clearing) raises it.
  // Work started for one load checks it before its result lands.
  quint64 loadNumber() const { return loadNumber_; }

  // Tells every subscriber what changed; slot tl::kAllSlots for the whole table.
  // Subscribers run at once, on the UI thread (the model lives there).
  void announce(tl::Change what, int slot = tl::kAllSlots) {
    if (what == tl::Change::Load) ++loadNumber_;
    emit changed(what, slot);
  }
  // The same, naming the letters of the displayed cue whose look changed;
  // while subscribers run, marks() returns them (a view that draws single
  // letters redraws just these instead of the whole cue).
  void announce(tl::Change what, int slot, const std::vector<tl::LetterMark>& marks) {
    marks_ = marks.empty() ? nullptr : &marks;
    announce(what, slot);
    marks_ = nullptr;
  }
  const std::vector<tl::LetterMark>* marks() const { return marks_; }

 signals:
  void changed(tl::Change what, int slot);

 private:
  tl::Lesson lesson_;
  tl::Options options_;
  tl::Dictation dictation_{lesson_, options_};
  quint64 loadNumber_ = 0;
  const std::vector<tl::LetterMark>* marks_ = nullptr;
};
