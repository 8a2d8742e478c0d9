// The outside route planners: KRV.EXE, asked by the typed commands "O" and "OO", and the
// automatic planner ZARNAUTO.EXE, asked when a destination is set. They are served through
// files in the working folder; the main tick picks up what they leave.
#pragma once

#include <string>

namespace zarn {
struct App;
struct NavState;

// What writekrvinput did.
enum class KrvAsk {
  written,   // KRVINPUT.TXT and the lease written, KRVDONE.TXT deleted
  pending,   // a lease is there: an earlier request is still pending (a beep)
  refused,   // no own position, no destination, ZARN.ROO could not be kept, or the request could
             // not be written (said)
};
// How runkrv ended.
enum class KrvEnd {
  loaded,      // the planner said it was done: ZARN.ROO was read
  timedout,    // no answer within 120 s: nothing read (said)
  notstarted,  // the planner could not be started: nothing read (said)
  refused,     // no request could be made (said), or "O" is already waiting (a beep)
};

// Writes the planner's input (own position, then the destination, as latitude/longitude) and
// its lease file, after deleting KRVDONE.TXT. A ZARN.ROO that is not the planner's last answer
// is kept first as ZARNSAV1.ROO to ZARNSAV9.ROO, named when the planned route is loaded. A lease
// already there gives a beep; no own position, no destination or a ZARN.ROO that could not be
// kept a beep and a message; nothing is written then.
KrvAsk writekrvinput(App& app);
// "O": the request, the planner started, and a wait (events and the serial port running, 120 s
// at most) for its done-file; then ZARN.ROO is read. Only a done-file that appeared during
// this request counts, so a route left from before is never taken as the answer.
KrvEnd runkrv(App& app);
// From every main tick: picks up the route of an "OO" request once the planner is through with
// it (KRV.REQ seen and gone, ZARN.ROO written since the request while KRV.REQ is absent, or
// KRVDONE.TXT there), and the automatic planner's results once they stand still; each gives up
// after 120 s. A route taken from ZARN.ROO is said on the message line to replace the route.
void krvcheck(App& app);
// Asks the automatic route planner for a route to the destination just set at frame position
// (x, y) km, labelled area; the tick takes up the route and guidance it leaves.
void autoplanner(App& app, float x, float y, const std::string& area);
// A new destination: the automatic planner's results for the one before are no longer wanted.
void autocancel(NavState& n);

}  // namespace zarn
