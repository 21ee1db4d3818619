// Tf_main: the recent-files menu and its store.
#include <QAction>
#include <QMenu>

#include "core/recentfiles.h"
#include "player/main/main.h"

void Tf_main::ReadFile() {
  n_refile->clear();
  refilelist = deps_.hive ? tl::ReadFile(*deps_.hive) : std::vector<std::string>(10);
  for (const std::string& path : refileOpened_) tl::refileadd(refilelist, path);
  for (size_t n = 0; n < refilelist.size(); ++n) {
    if (refilelist[n].empty()) continue;
    const QString path = QString::fromStdString(refilelist[n]);
    QAction* a = n_refile->addAction(QString::fromStdString(tl::menuCaption(std::to_string(n) + ":" + refilelist[n])));
    a->setData(path);
    connect(a, &QAction::triggered, this,
            [this, a] { guarded([this, a] { fileopen(a->data().toString().toStdString()); }); });
  }
}

void Tf_main::refileadd(const std::string& path) {
  tl::refileadd(refilelist, path);
  if (path.empty() || !deps_.hive) return;
  std::erase(refileOpened_, path);
  refileOpened_.push_back(path);
}

// Merged into the stored list, so that another window's entries stay; what
// could not be stored is tried again at the next opening and at the close.
void Tf_main::WriteFile() {
  if (!deps_.hive) return;
  std::string err;
  if (tl::WriteFileMerged(*deps_.hive, refileOpened_, &err))
    refileOpened_.clear();
  else
    logout("履歴を保存できませんでした " + err);
}

// A missing file is reported by the opening itself.
void Tf_main::fileopen(const std::string& path) { dropFile(QString::fromStdString(path)); }

