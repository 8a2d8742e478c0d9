// State of speech, sound and the status message line.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/distance.h"

namespace zarn {

struct SpeechState {
  // The prompt queue: slots 1..wavcount are the pending sentence (slot 0 is never used). An item
  // is a WAV name or a text for the speech library.
  static constexpr int queuemax = 200;
  std::array<std::string, queuemax + 1> wavqueue{};
  std::int16_t wavcount = 0;
  // Length of the last sentence closed or spoken, and a copy of it: sayagain repeats the copy,
  // so a sentence abandoned half-way cannot mix into the repeat.
  std::int16_t lastsentlen = 0;
  std::vector<std::string> lastsentence;
  std::string lastsaid;  // the message text that went with the last spoken sentence

  // The flags that gate the queue (set at start-up and by commands).
  std::int16_t talkon = 1;    // sound and messages on
  std::int16_t talkstop = 0;  // 1: abandon the sentence being played at its next item
  std::int16_t nosound = 0;   // above 0: no prompts at all; below 0: no start-up sound
  std::int16_t talkext = 0;   // 1: an outside talker (ZARNTALK.CFG) speaks for us
  std::int16_t ttsavail = 0;  // 1: text items go to the speech library
  // The language choice: file-name prefix (empty = none), entry of the language list and the
  // word order of spoken phrases (0 default, 1 verb last, 2 units before tens, 5 linked hundreds).
  std::string langprefix;
  std::int16_t langindex = 0;
  std::int16_t syntaxmode = 0;
  // True while speakqueue waits for the outside talker or for its sounds to end: a speakqueue
  // run by an event or the serial poll inside that wait leaves its items for the next one.
  bool talkwaiting = false;
  // When (time of day) a sentence was last handed to the outside talker.
  std::optional<float> talkhanded;
  // A prompt of saystart that could not be played, and when (time of day): it is not looked for
  // again within a second, so that a burst of announcements does not search the folder for it
  // each time.
  std::string unheard;
  float unheardtime = 0;

  // The status message line: the current text (after translation) and the time of day it was
  // shown.
  std::string msgtext;
  float msgtime = 0;
  // The translation table last found missing, and when: looked for again after a second.
  std::string notable;
  float notabletime = 0;

  // Parts of a road text split by splitaddress: the road number word (A34), its digits after
  // the letter (34) and the rest with "rd"/"st" spelt out.
  std::string housenum, rcckey, streetname;

  // 1 when the last position report found the position inside a place.
  std::int16_t placefound = 0;
  // The place file as last read for position reports (read again when its name, size or time
  // changes): each place's frame position (km), name, prompt and radius (km).
  struct KnownPlace {
    FramePoint at;
    float radius = 0;
    std::string text, wav;
  };
  std::string placesread;
  std::uintmax_t placessize = 0;
  std::filesystem::file_time_type placestime{};
  std::vector<KnownPlace> places;

  // The landmark list of the map square ahead (a .GEO file), reloaded when the square changes.
  static constexpr int geomax = 399;
  std::string geofilelast;
  std::int16_t geocount = 0;
  std::vector<std::string> geocat, geopos, geotext;
  std::vector<float> geox, geoy;
  // Where-we-are report state: the landmark last announced (its position text), the road last
  // matched and last announced, and when the road, the landmark and the map matching last
  // changed (times of day).
  std::string geolastpos;
  std::string roadtext, prevroad;
  float roadtime = 0, wwareptime = 0, matchtime = 0;
  std::string ownbrgtext;  // compass words of our own direction of travel (" north east")
};

}  // namespace zarn
