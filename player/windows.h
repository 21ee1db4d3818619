// The secondary windows as the main window sees them: it only asks for them to
// be shown.  The program block implements this with the real windows.
#pragma once

class MainWindows {
 public:
  virtual ~MainWindows() = default;
  virtual void showSubList() = 0;
  virtual void showSubEdit() = 0;
  virtual void showUrlOpen() = 0;
  virtual void showSubNo() = 0;
  virtual void showWordOpen() = 0;
  virtual void showFilter() = 0;
  virtual void showAdjNum() = 0;
  virtual void showOption() = 0;
  virtual void showRireki() = 0;
  virtual void showKeys() = 0;
  virtual void showSceneDiv() = 0;
  virtual void showTed() = 0;
  // "進捗保存": the progress save, which first writes the SRT while an
  // edited cue text is not yet in it.  False when a write failed.
  virtual bool saveProgress() = 0;
  // An edited cue text is in the table but not yet in the SRT file.
  virtual bool textUnsaved() const = 0;
  virtual void showWordTest() = 0;
  // At the main window's close: saves a word review that is open; when it
  // cannot be saved, asks whether to drop it.  False: the window stays open.
  virtual bool saveOpenReview() = 0;
};
