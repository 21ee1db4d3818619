// Tf_sub "字幕一覧": the subtitle list window.  For now it holds the grid
// `subgrid` (seven columns) whose font size, default row height and column
// widths are settings.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QTableWidget;

class Tf_sub : public QWidget {
  Q_OBJECT
 public:
  explicit Tf_sub(QWidget* parent = nullptr);

  QTableWidget* subgrid = nullptr;

  // Font size (points), default row height and widths of columns 0 to 6.
  void setGridLayout(int32_t fsize, int32_t rheight, const std::array<int32_t, 7>& widths);
  void gridLayout(int32_t& fsize, int32_t& rheight, std::array<int32_t, 7>& widths) const;
};
