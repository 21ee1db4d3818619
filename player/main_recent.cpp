// Tf_main: the recent-files menu and its store.
#include <QAction>
#include <QMenu>

#include "core/recentfiles.h"
#include "player/main.h"

void Tf_main::ReadFile() {
  n_refile->clear();
  refilelist = deps_.hive ? tl::ReadFile(*deps_.hive) : std::vector<std::string>(10);
  for (size_t n = 0; n < refilelist.size(); ++n) {
    if (refilelist[n].empty()) continue;
    const QString path = QString::fromStdString(refilelist[n]);
    QAction* a = n_refile->addAction(QString::fromStdString(tl::menuCaption(std::to_string(n) + ":" + refilelist[n])));
    a->setData(path);
    connect(a, &QAction::triggered, this,
            [this, a] { guarded([this, a] { fileopen(a->data().toString().toStdString()); }); });
  }
}

void Tf_main::refileadd(const std::string& path) { tl::refileadd(refilelist, path); }

void Tf_main::WriteFile() {
  if (!deps_.hive) return;
  std::string err;
  if (!tl::WriteFile(*deps_.hive, refilelist, &err))
    logout("履歴を保存できませんでした " + err);
}

// A missing file is reported by the opening itself.
void Tf_main::fileopen(const std::string& path) { dropFile(QString::fromStdString(path)); }

