// State of speech, sound and the status message line.
#pragma once

namespace zarn {

struct SpeechState {
  // Filled as the prompt queue, the message line and the spoken phrases are built.
};

}  // namespace zarn
