#include "platform/media/openfailure.h"

#include <algorithm>
#include <cctype>

namespace tl::media {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return (char)std::tolower(c); });
  return s;
}

// The first rule whose English words the reason holds names it; the order
// puts the particular before the general ("HTTP error 404" before "HTTP error").
struct Rule {
  const char* words;
  const char* japanese;
};
constexpr Rule kRules[] = {
    {"file format", "ファイルの形式に対応していません"},
    {"no such file", "ファイルが見つかりません"},
    {"permission denied", "ファイルを読む権限がありません"},
    {"resolve hostname", "サーバーが見つかりません"},
    {"name or service not known", "サーバーが見つかりません"},
    {"connection refused", "サーバーに接続を拒否されました"},
    {"timed out", "サーバーからの応答がありません"},
    {"http error 404", "サーバーにファイルがありません"},
    {"http error 403", "サーバーに閲覧を拒否されました"},
    {"http error", "サーバーがエラーを返しました"},
    {"protocol", "このアドレスの形式には対応していません"},
    {"no audio or video", "再生できる映像も音声もありません"},
};

}  // namespace

std::string openFailureText(const std::string& playerReason) {
  const std::string l = lower(playerReason);
  std::string why = "開けませんでした";
  for (const Rule& r : kRules)
    if (l.find(r.words) != std::string::npos) {
      why = r.japanese;
      break;
    }
  std::string text = "再生に失敗しました（" + why + "）";
  if (!playerReason.empty()) text += "\n" + playerReason;
  return text;
}

}  // namespace tl::media
