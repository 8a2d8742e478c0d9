// State of GPS input, the serial links and the logs, with the own fix.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "gpsinput/linkstate.h"
#include "platform/files.h"

namespace zarn {

// The own fix: where the vehicle is, how it moves and how high it is. Written by the sentence
// and line parsers, the GPS watch and a few commands; read by everything else.
struct OwnFix {
  float ownx = -250, owny = -950;  // frame km; -250, -950: no position yet
  std::string owngrid;             // grid-reference text of (ownx, owny)
  float prevx = 0, prevy = 0;      // the last position that came from a sentence
  float ownlat = 0, ownlon = 0;    // degrees, north and east positive
  float owncourse = 0;             // course as received, or derived from positions
  float fixspeed = 0;              // km/h of the last sentence
  float ownve = 0, ownvn = 0;      // velocity east and north, m/s
  float ownalt = 0, ownaltft = 0;  // metres, and feet (x 3.281)
  // The climb-rate step: feet and time of day at the last step, feet per minute, and whether
  // an altitude has started the steps.
  float prevaltft = 0, alttime = 0, climbrate = 0;
  int altseen = 0;
  int ownhdg = -1;   // whole degrees 0..359; -1 while no heading is known
  float ownspd = 0;  // km/h: the speed every reader uses
};

// The direction-finder sector drawn around a reported centre.
struct DfSector {
  int dfsecmode = 0;  // 1: shown
  float dfseclat = 0, dfseclon = 0;  // centre, degrees
  float dfsecrad = 0;                // km
  float dfsecbrg1 = 0, dfsecbrg2 = 0;
  std::int32_t dfseccol = 0;
};

struct GpsState : OwnFix {
  // The user's position correction (km east and north) added to every parsed fix. The replay
  // script, the map matching, the demo and the configuration all move it: only through
  // setgpscorr.
  float gpscorre = 0, gpscorrn = 0;
  // Values that travel with the fix.
  float lastgpstime = 0;   // time of day (s) of the last GPS or report line
  std::string gpstimetxt;  // hh:mm:ss of the last fix
  float fixsecs = 0;
  std::string gpsdatetxt;  // ddmmyy
  float gpsdayno = 0;
  std::string fixhhmm;     // hhmm of the last RMC
  int fixvalid = 1;        // 1: the last RMC status was valid
  int velflag = 1;         // 1: the receiver gave no speed or course in its last RMC or VTG
  int dgpsfix = 0;         // 1: the last GGA fix was differential

  // Settings of the sentence parser.
  int onlyrmc = 0;     // ONLYRMC.CFG: of the sentences only RMC is parsed
  int chksumoff = 0;   // accept sentences whose checksum does not match
  int nochecksum = 0;  // the replay file carries no checksums
  int drawmode = 0;    // 1 while the playback window draws a log: no status colours, no car
  int plotbusy = 0;    // 1 while a filter run or date scan reads a log
  int nmealog = 0;     // 1 while NMEA recording (NEW.NME) is on
  float minhdgspd = 0;  // km/h above which a course becomes the heading
  float fixmint = 0, fixminmove = 0;  // derived speed: minimum interval (s) and move (km)

  // Sentence parser state.
  float lastfixx = 0, lastfixy = 0, lastfixt = 0;  // reference of the derived-fix lines
  float chasesaid = 0;   // time of day of the last spoken chase report
  float carupdtime = 0;  // time of day of the last own-car update from a fix

  // Satellites of the last GSV sentences, slots 1..satmax (filled while GPSeng is shown).
  static constexpr int satmax = 32;
  int satsview = 0;
  int satidx = 0;  // highest slot filled so far
  std::array<std::string, satmax + 1> satprn{}, satelev{}, satazim{}, satsnr{};

  // Receiver-specific lines.
  std::string switchstates = "........";  // one character per switch, "1" on
  DfSector dfsector;
  int agdqual = 0;  // quality value of the last .AGD line
  // The previous track point: time of day in hours and frame position; none until the first.
  bool trkseen = false;
  float trkprevt = 0, trkprevx = 0, trkprevy = 0;

  // The GPS watch.
  float gpstimeout = 10;  // seconds of silence after which GPS counts as lost
  float gpsage = 0;
  int gpsrx = 0;      // 1 while data keeps arriving
  int rxstate = -1;   // the reception state last announced; -1 before the first
  int rxseen = 0;     // 1 once reception has started
  int prevdgps = 0;   // dgpsfix as last shown

  // The receive buffer: the line being assembled, always exactly commlinemax characters, the
  // received ones at the front and blanks after them.
  static constexpr int commlinemax = 200;
  std::string commline = std::string(commlinemax, ' ');
  int commlinelen = 0;
  std::string callsep;   // call-sign separator of packet-radio lines (CALLSIGN.CFG)
  std::string callsign;  // call sign of the last packet-radio line
  bool callsplit = false;  // the line being handled had its call sign split off

  // The serial poll and the link.
  // Input waiting to be worked through: a poll started from a wait inside another appends here
  // and the first poll takes it in order.
  std::string rxpending;
  std::size_t rxpos = 0;
  bool rxbusy = false;
  int gpsoncom = 1;    // the serial port is polled
  int filelink = 0;    // input comes from the file link ZARN.LLD instead
  int taipon = 0;      // TAIP.CFG: ">" starts a line, "<" ends it
  bool datatrakon = false;  // DATATRAK.CFG
  int linkdata = 0;    // 1 once serial data has arrived
  bool modemok = false, modemconnect = false, modembusy = false, modemnodial = false;  // modem replies seen
  int astral = 0;      // 1 once the receiver answered "ASTRAL"
  std::string nmeaid;  // sentence type of the last sentence tested
  CallState csatstate = CallState::idle;  // the satellite text service's dialogue
  bool abortflag = false;                 // the user asked to abort a call or wait
  CallSteps callsteps;                    // the call's steps now running
  std::string cmdend = "\r";     // ends every modem command
  std::string rxprefix = "\r\n"; // ends every sentence sent to the receiver
  // Link data mode, step of a dialled-in report (a ReportMode), framing code and whether
  // Datatrak lines have been seen.
  DataMode mvdatamode = DataMode::position;
  ReportMode reportmode = ReportMode::line1;
  int protocode = 8;
  bool datatrakseen = false;
  bool skipend = false;  // a skipped line ended at its CR: an LF next is its own, not the record's
  bool ringstop = false;  // RINGSTOP.CFG: "RING" is not an incoming call
  int autohangup = 0;  // DIALTIME.CFG: seconds after which a call is hung up; 0 off
  int connected = 0;   // above 0 while a number dialled from the dial panel awaits its answer
  // The outgoing message queue: messages given while a call is in progress, oldest first; the
  // running call sends them after its own.
  struct QueuedMsg {
    std::string to, text, body;  // addressee (a label or "ALL UNITS"), configured text, body
  };
  static constexpr std::size_t msgqmax = 10;
  std::deque<QueuedMsg> msgq;
  int incall = 0;    // 1 during an incoming call

  // Logs. The trip log stays open while logopen is set; the replay file while replaying.
  bool logopen = false;
  bool rawlog = false;   // every line is logged as received, the interpreted lines are not
  bool logall = false;   // vehicle lines: all data logged, not the minimum
  bool printon = false;  // log lines are printed too
  std::string logprefix;  // log filter (ZARNLOG.CFG)
  std::unique_ptr<platform::OutputFile> triplog;
  std::string replayfile;
  std::optional<platform::InputFile> replay;
  // The replay file whose failure to open the message line has named: the tick tries it again
  // at every step, and says so once.
  std::string replaytold;
};

}  // namespace zarn
