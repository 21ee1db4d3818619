// Tf_subedit "字幕編集": edits the text of one cue.  editset() loads a cue;
// OK puts the text into the table (fully shown), recounts and offers to save
// both files.  The window remembers the load its cue belongs to and refuses
// OK after another file was loaded.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class MainHost;

class Tf_subedit : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subedit(QWidget* parent = nullptr);

  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }

  // Loads cue slot n into the edit.
  void editset(int n);
  // F2: edits the displayed cue; with none displayed says so and edits
  // nothing.  Returns true when the window was shown.
  bool editDisplayed();
  void Button1Click();
  void Button2Click() { hide(); }
  int slot() const { return n_; }

  // An edited text is in the table but not yet in the SRT file.
  bool textUnsaved() const;
  // Progress save that first writes the SRT while an edited text is
  // unsaved, so the progress file never describes texts the SRT lacks.
  // False when a write failed (the progress is then not written either).
  bool saveProgress();

  QLabel* Label1 = nullptr;
  QPlainTextEdit* r_subedit = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 private:
  std::shared_ptr<MainHost> host_;
  int n_ = 0;
  quint64 load_ = 0;        // load the cue belongs to
  bool edited_ = false;     // an edit went into the table ...
  quint64 editedLoad_ = 0;  // ... of this load
};
