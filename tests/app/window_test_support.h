// Helpers for the window tests: closing modal windows from the test itself
// and watching message boxes and desktop requests.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/desktop.h"

namespace vorlane {

// Runs action on the next modal window that opens (within timeout_ms). The
// action must close it; nothing waits for a person.
inline std::vector<QPointer<QTimer>>& PendingModalActions() {
  static std::vector<QPointer<QTimer>> timers;
  return timers;
}

// Drops the actions whose window never opened. Run before each test: a
// waiting action of an earlier test would take the next test's window (and
// reach that test's locals, long gone).
inline void CancelModalActions() {
  for (const QPointer<QTimer>& timer : PendingModalActions()) {
    if (timer) {
      timer->stop();
      timer->deleteLater();
    }
  }
  PendingModalActions().clear();
}

inline void WhenModal(std::function<void(QWidget*)> action, int timeout_ms = 10000) {
  auto* timer = new QTimer;
  PendingModalActions().emplace_back(timer);
  const QDeadlineTimer deadline(timeout_ms);
  QObject::connect(timer, &QTimer::timeout, [timer, deadline, action]() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      QPointer<QWidget> guard(modal);
      action(modal);
      // A failed check inside the action leaves the window open: close it so
      // the test fails instead of waiting for ever.
      if (guard && guard->isVisible()) guard->close();
    } else if (deadline.hasExpired()) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

struct Message {
  MessageKind kind;
  QString text;
};

// Records the message boxes instead of showing them, and the desktop
// requests instead of sending them, for as long as it lives.
class DesktopWatch {
 public:
  DesktopWatch() {
    SetMessageHook([this](QWidget*, MessageKind kind, const QString& text) {
      messages.push_back({kind, text});
    });
    SetOpenHook([this](const QUrl& url) {
      opened.push_back(url);
      return open_result;
    });
    SetProgramForHook([this](const QString&) { return chm_viewer; });
  }
  ~DesktopWatch() {
    SetMessageHook({});
    SetOpenHook({});
    SetProgramForHook({});
  }
  QStringList Texts() const {
    QStringList texts;
    for (const Message& m : messages) texts << m.text;
    return texts;
  }

  std::vector<Message> messages;
  std::vector<QUrl> opened;
  bool open_result = true;  // what the desktop answers to each request
  bool chm_viewer = true;   // whether it has a program for help.chm
};

}  // namespace vorlane
