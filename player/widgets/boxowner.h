// Message boxes of the player open in front of the window that asks and give
// it back its place when they close: a stay-on-top window of ours or a box
// already waiting for an answer never hides them.
#pragma once

#include <QMessageBox>

namespace tl::ui {

// The window a box raised on behalf of `asking` belongs to: a box (or other
// modal dialog) already waiting for an answer, which would block any window
// behind it; else the asking widget's window; with no asking widget the
// application's active window, or `fallback` when none is active.
QWidget* boxOwner(QWidget* asking, QWidget* fallback);

// A new box owned by boxOwner(asking, fallback).  While a stay-on-top
// window of the application is shown the box stays on top too.
QMessageBox* newBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                    QMessageBox::StandardButtons buttons, QWidget* asking, QWidget* fallback);

}  // namespace tl::ui
