// What the windows ask of the desktop: message boxes with one OK button and
// opening a document or an address in the program the desktop chooses.
// Both go through hooks, so tests can watch them instead of a person.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace vorlane {

enum class MessageKind { kWarning, kInformation, kError };

// Shows a modal message box with one OK button and returns when it is
// closed. The text is shown as it stands, never translated; the box's title
// and button are in the interface language.
void ShowMessage(QWidget* parent, MessageKind kind, const QString& text);

// Asks the desktop to open url ("open" in a normal window); the result is
// not examined by the callers.
bool OpenWithDesktop(const QUrl& url);

// True when the desktop names a default program for the type of file
// (asked through xdg-mime; false when it cannot be asked).
bool DesktopHasProgramFor(const QString& file);

// Hooks for tests; an empty function restores the real behaviour.
using MessageHook = std::function<void(QWidget* parent, MessageKind kind, const QString& text)>;
using OpenHook = std::function<bool(const QUrl& url)>;
using ProgramForHook = std::function<bool(const QString& file)>;
void SetMessageHook(MessageHook hook);
void SetOpenHook(OpenHook hook);
void SetProgramForHook(ProgramForHook hook);

}  // namespace vorlane
