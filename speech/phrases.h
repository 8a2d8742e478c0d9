// Spoken numbers, distances, clock times and directions, built from short recorded fragments
// ("7.wav", "thousand.wav", "miles.wav", ...) in the word order of the current language
// (syntaxmode). Apart from saytime and sayjptime they only queue; the caller speaks.
#pragma once

#include <string>

namespace zarn {
struct Voice;
namespace platform {
class Files;
}

// A whole number of up to five digits, without sign or leading zeros.
void saynumber(Voice& v, std::string num);
// A number that may hold a decimal point: two figures after the point at most.
void saydecimal(Voice& v, const std::string& num);
// A distance as a number and one unit letter: "m" miles (metres when metric), "y" yards,
// "k" kilometres ("1.5m", "250y", " 12k").
void saydistance(Voice& v, const std::string& dist);
// Shows lead & t and speaks item, the hours and the minutes of t ("hh:mm" or "hh:mm:ss").
void saytime(Voice& v, const std::string& lead, const std::string& item, const std::string& t);
// The verb-last language's form of saytime; the message line is left alone.
void sayjptime(Voice& v, const std::string& lead, const std::string& item, const std::string& t);
// The direction of a point seen from a place, in eight sectors: "northeof.wav" and
// " north east of ".
void compassphrase(int brg, std::string& item, std::string& text);
// The relative direction of a clock hour ("to our right at your 3 o'clock", "toourrig.wav",
// "3c.wav"). An hour of 0 counts as 12 and is written back so. diritem is left as passed for a
// language without these fragments.
void clockphrase(const Voice& v, int& hour, std::string& text, std::string& diritem,
                 std::string& clockitem);
// Queues the clock-direction fragments of an hour when our heading is known (saying where a
// point lies by the clock means nothing without one).
void saydirection(Voice& v, int hour, bool headingknown);
// The WAV name of a place name: "#" and its first 7 non-blank characters ("#MarketS.WAV").
void wavname(const std::string& name, std::string& item);
// The prompt that speaks a found place: the square's own recording, the place's own, one named
// after the list, or "destinat.wav". A reference that names a square leaves its landmark file's
// name in geofile.
std::string findwav(const platform::Files& files, const std::string& gridref, const std::string& name,
                    const std::string& listname, std::string& geofile);

}  // namespace zarn
