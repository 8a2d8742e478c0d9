// The prompt queue: everything the program says is queued as WAV names or texts and spoken
// by speakqueue, item by item through the sound and speech services, or handed to an outside
// talker program (ZARNTALK.CFG).
#pragma once

#include <string>

namespace zarn {
struct App;

// Appends one item when sound and messages are on, prompts are not suppressed and the queue
// has room (200 items); otherwise does nothing.
void queuewav(App& app, const std::string& item);
// The main window's name for the same operation.
void queuesay(App& app, const std::string& item);
// Closes the pending sentence without speaking it; it stays available to sayagain.
void endsentence(App& app);
void endsentence2(App& app);
void flushsay(App& app);
// Speaks the queue now and empties it.
void speakqueue(App& app);
// Plays or speaks one item of the queue being spoken.
void sayit(App& app, const std::string& item);
// Starts one sound playing in the background, outside the queue.
void playwav(App& app, const std::string& name);
// Shows a message and says one item at once, even with sound off.
void saynow(App& app, const std::string& text, const std::string& item);
// Shows a text and speaks it.
void saytext(App& app, const std::string& text);
// Repeats the last sentence with its message.
void sayagain(App& app);

// True for a WAV item (".WAV" or ".$AV" anywhere in any case, or a last character "$");
// anything else is a text for the speech library.
bool issounditem(const std::string& item);

}  // namespace zarn
