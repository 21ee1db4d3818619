// The tool's string table and message boxes' buttons and icons.
#pragma once

#include <QMessageBox>
#include <QString>

#include "platform/filters/filterstore.h"

namespace quendle {

enum StringId : int {
  IDS_ABOUTBOX = 101,
  // Messages; IDS_ASK_* are the yes/no questions.
  IDS_BACKUP_FAILED_UNDO = 102,
  IDS_ASK_DELETE_INFO = 103,
  IDS_ASK_DELETE_FILE_INFO = 104,
  IDS_ASK_DELETE_MERIT_INFO = 105,
  IDS_ASK_DELETE_UNREREGISTRABLE = 106,
  IDS_ASK_DELETE_MAYBE_UNREREGISTRABLE = 107,
  IDS_DELETE_FAILED = 108,
  IDS_MERIT_FAILED = 109,
  IDS_REREGISTER_NO_FILE = 110,
  IDS_ASK_REREGISTER = 111,
  IDS_REREGISTER_FAILED = 112,
  IDS_REREGISTER_DONE = 113,
  IDS_REGISTER_DONE = 114,
  IDS_REGISTER_FAILED = 115,
  IDS_ASK_UNREGISTER = 116,
  IDS_ASK_UNREGISTER_UNREREGISTRABLE = 117,
  IDS_UNREGISTER_FAILED = 118,
  IDS_UNREGISTER_NO_FILE = 119,
  IDS_FILE_FILTER = 120,
  IDS_COL_NAME = 121,
  IDS_COL_MERIT = 122,
  IDS_COL_FILE = 123,
  IDS_STORE_FAILED = 124,
  // Said when taking back a change (after a record could not be written)
  // failed as well.
  IDS_UNDO_FAILED = 125,
  AFX_IDS_APP_TITLE = 57344,
};

// Empty for an unknown id.
QString text(int id);

struct MessageStyle {
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::Icon icon = QMessageBox::Information;
};
// Buttons and icon of messages 102-119, 124 and 125.
MessageStyle messageStyle(int id);
// The message text with its "%s" replaced by arg.
QString messageText(int id, const QString& arg = {});

// The second line of a failure message: which file of the filter store could
// not be read or written; empty when the fault names nothing.
QString faultLine(const tl::flt::StoreFault& fault);
// The second line when a record file could not be written.
QString recordFaultLine(const QString& file);
// The message with detail as its second line (a question that follows the
// failure stays last); the message alone when detail is empty.
QString withDetail(QString message, const QString& detail);

}  // namespace quendle
