#pragma once
// Answers the main window's questions from a script so tests run without a person, and
// records every notice the window showed.

#include <QMessageBox>
#include <QStringList>
#include <deque>
#include <optional>
#include <functional>

#include "support/user_prompts.h"

namespace zefra::app {

struct PromptLog {
  QStringList questions;
  QStringList errors;    // "caption|text"
  QStringList warnings;  // "caption|text"
  int openDialogs = 0;
  int saveDialogs = 0;
  QString lastSaveDirectory;
  QString lastSaveProposal;
  QString lastOpenDirectory;
};

class ScriptedPrompts : public UserPrompts {
 public:
  explicit ScriptedPrompts(PromptLog& log) : log(log) {}

  // Answers given in order; with none left the real message box is shown (a test then
  // answers it through the widget).
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> openPaths;  // empty string = the user cancels
  std::deque<QString> savePaths;
  std::deque<int> tweenCounts;  // the dialog's other choices as offered; none left = cancel
  std::deque<editor::TweenOptions> tweens;  // whole answers, taken before tweenCounts
  editor::TweenOptions lastTweenOffered;
  int lastTweenFrom = 0;  // the frame the dialog was to tween from
  std::deque<QString> gifPaths;  // empty string or none left = the user cancels
  std::deque<int> delays;         // "Set Delay" answers; none left = cancel
  // Run when a warning or an error is shown, to look at the window at that moment.
  std::function<void()> onWarning;
  std::function<void()> onError;

  QMessageBox::StandardButton question(QWidget* parent, const QString& text) override {
    log.questions << text;
    if (answers.empty()) return UserPrompts::question(parent, text);
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void error(QWidget*, const QString& caption, const QString& text) override {
    log.errors << caption + '|' + text;
    if (onError) onError();
  }
  void warning(QWidget*, const QString& caption, const QString& text) override {
    log.warnings << caption + '|' + text;
    if (onWarning) onWarning();
  }
  QString openProjectPath(QWidget*, const QString& directory) override {
    ++log.openDialogs;
    log.lastOpenDirectory = directory;
    if (openPaths.empty()) return {};
    QString p = openPaths.front();
    openPaths.pop_front();
    return p;
  }
  std::optional<editor::TweenOptions> tweenOptions(QWidget*, int currentFrame, int,
                                                   const editor::TweenOptions& last) override {
    lastTweenOffered = last;
    lastTweenFrom = currentFrame;
    if (!tweens.empty()) return next(tweens);
    if (tweenCounts.empty()) return std::nullopt;
    editor::TweenOptions answer = last;
    answer.count = tweenCounts.front();
    tweenCounts.pop_front();
    return answer;
  }
  std::optional<int> frameDelay(QWidget*, int, int, int, int) override {
    if (delays.empty()) return std::nullopt;
    return next(delays);
  }
  QString openGifPath(QWidget*, const QString&) override {
    if (gifPaths.empty()) return {};
    QString p = gifPaths.front();
    gifPaths.pop_front();
    return p;
  }
  // "Export GIF...": answers in order; with none left the user cancels.
  std::deque<QString> gifSavePaths;
  QString lastGifProposal;
  QString saveGifPath(QWidget*, const QString& proposedPath) override {
    lastGifProposal = proposedPath;
    return next(gifSavePaths).value_or(QString());
  }
  QString saveProjectPath(QWidget*, const QString& directory, const QString& proposedName) override {
    ++log.saveDialogs;
    log.lastSaveDirectory = directory;
    log.lastSaveProposal = proposedName;
    if (savePaths.empty()) return {};
    QString p = savePaths.front();
    savePaths.pop_front();
    return p;
  }

  // The property pages' dialogs: answers in order; with none left the user cancels.
  std::deque<std::optional<Color>> colors;
  std::deque<std::optional<editor::FontChoice>> fonts;
  std::deque<QString> picturePaths;
  std::deque<QString> texturePaths;
  QString lastPictureDirectory;
  QString lastPictureName;
  QString lastTextureDirectory;
  std::optional<Color> lastColorOffered;

  std::optional<Color> chooseColor(QWidget*, Color initial) override {
    lastColorOffered = initial;
    return next(colors);
  }
  std::optional<editor::FontChoice> chooseFont(QWidget*, const editor::FontChoice&) override {
    return next(fonts);
  }
  QString openPicturePath(QWidget*, const QString& directory, const QString& fileName) override {
    lastPictureDirectory = directory;
    lastPictureName = fileName;
    return next(picturePaths).value_or(QString());
  }
  QString openTexturePath(QWidget*, const QString& directory) override {
    lastTextureDirectory = directory;
    return next(texturePaths).value_or(QString());
  }

 private:
  template <typename T>
  static std::optional<T> next(std::deque<T>& answers) {
    if (answers.empty()) return std::nullopt;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
  template <typename T>
  static std::optional<T> next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
  }

 public:
 private:
  PromptLog& log;
};

}  // namespace zefra::app
