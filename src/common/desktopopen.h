// Opening a document with the desktop's application, and hearing whether it was opened. On free
// desktops the opener is xdg-open, which starts at once even when no application takes the
// document's type and says so only by its exit code, a moment later: the answer comes back
// through a callback, so that no window waits for it.
#pragma once

#include <QString>

#include <functional>

namespace tapewright {

// Told once whether the document was opened: false when nothing could be started, or the
// desktop's opener found no application for it (xdg-open's exit code 3) or the application
// failed (4).
using OpenDone = std::function<void(bool opened)>;
// How a window opens a document: its creator passes it in, and tests pass one that answers.
using DocumentOpener = std::function<void(const QString &path, OpenDone done)>;

// xdg-open that has not ended within this time is taking its time to run the application
// itself (it waits for it on desktops it does not know): the document counts as opened, and a
// failure after that is no longer told.
inline constexpr int OpenerAnswerMs = 10'000;

// Where xdg-open is on the PATH (outside Windows and macOS), hands path to it and reads its exit
// code; elsewhere ShellOpen's answer, given at once. done is called on the calling thread,
// which needs an event loop for the answer that comes later.
void OpenDocument(const QString &path, OpenDone done);

// The same through opener, run as "opener path" (xdg-open, or a stand-in in tests), with
// answerMs in place of OpenerAnswerMs.
void OpenDocumentWith(const QString &opener, const QString &path, OpenDone done,
                      int answerMs = OpenerAnswerMs);

} // namespace tapewright
