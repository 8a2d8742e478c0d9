// The spoken report-interval dialogue: which reports are wanted, asked question by question
// and answered with the keys Y and N.
#pragma once

namespace zarn {
struct MainState;
struct Voice;

// Key O: asks whether to say the same things as before.
void askopen(Voice& voice, MainState& m);
// Keys Y (yes) and N (no): the answer to the question waiting; nothing when none waits.
void askanswer(Voice& voice, MainState& m, bool yes);
// Any later command key while a question waits: counted as a non-answer (pardon, then "answer
// yes or no", the fifth drops the dialogue) and not carried out. False when no question waits.
bool asknonanswer(Voice& voice, MainState& m);

}  // namespace zarn
