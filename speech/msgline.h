// The status message line of the main window: show, translate and speak a message.
#pragma once

#include <string>

namespace zarn {
struct Voice;

// Shows a status message on the message line (translated), stamps its time and speaks the
// prompts queued before it. With sound and messages off (and no playback) it does nothing.
void showmsg(Voice& v, const std::string& msg);
// showmsg even when sound and messages are off.
void showmsgsay(Voice& v, const std::string& msg);
// Speaks what is pending, shows the message as showmsg does, then always plays the item.
void showmsgwav(Voice& v, const std::string& msg, const std::string& item);
// Adds to the current message text without showing it.
void appendmsg(Voice& v, const std::string& text);
// Puts the stored message text on the message line with its font rule, shows it and stamps its
// time; nothing is spoken.
void putmsgline(Voice& v);
// Shows the stored message again, translated afresh, without speaking it; nothing with sound and
// messages off.
void reshowmsg(Voice& v);
// The message texts a run starts with: the current and the last spoken message both blank.
void blankmsg(Voice& v);
// Hides the message line and forgets the message.
void clearmsg(Voice& v);
// The text after the word rules of the language's translat.txt. A table found missing is looked
// for again only a second later (noted in the speech state).
std::string translate(const Voice& v, const std::string& text);
// The message line's font size for a text: long texts are set smaller.
double msgfontsize(const std::string& text);

}  // namespace zarn
