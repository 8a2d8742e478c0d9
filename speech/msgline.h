// The status message line of the main window: show, translate and speak a message.
#pragma once

#include <string>

namespace zarn {
struct App;

// Shows a status message on the message line (translated), stamps its time and speaks the
// prompts queued before it. With sound and messages off (and no playback) it does nothing.
void showmsg(App& app, const std::string& msg);
// showmsg even when sound and messages are off.
void showmsgsay(App& app, const std::string& msg);
// Speaks what is pending, shows the message as showmsg does, then always plays the item.
void showmsgwav(App& app, const std::string& msg, const std::string& item);
// Adds to the current message text without showing it.
void appendmsg(App& app, const std::string& text);
// Puts the stored message text on the message line with its font rule, shows it and stamps its
// time; nothing is spoken.
void putmsgline(App& app);
// Shows the stored message again, translated afresh, without speaking it; nothing with sound and
// messages off.
void reshowmsg(App& app);
// The message texts a run starts with: the current and the last spoken message both blank.
void blankmsg(App& app);
// Hides the message line and forgets the message.
void clearmsg(App& app);
// The text after the word rules of the language's translat.txt.
std::string translate(const App& app, const std::string& text);
// The message line's font size for a text: long texts are set smaller.
double msgfontsize(const std::string& text);

}  // namespace zarn
