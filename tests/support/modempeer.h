// The modem peer (tools/modem_peer.py) on a real pseudo-terminal: the program's serial port is
// the slave end, opened with TermiosSerial inside the DTR wrapper, which tells the peer of DTR
// through its control socket. The fixture's clock follows the wall clock (scaled by `scale`,
// and the peer's delays with it), so that waits take their real time.
#pragma once

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "gpsinput/serialpoll.h"
#include "platform/programs.h"
#include "platform/serial.h"
#include "support/app_fixture.h"
#include "support/pty.h"

namespace zarn::test {

class ModemPeerTest : public AppTest {
 protected:
  void TearDown() override {
    stop();
    AppTest::TearDown();
  }

  // Starts the peer with these options (delays in the program's seconds) and a base station on
  // the line: multi-vehicle mode, the service's user and password set.
  void start(std::vector<std::string> options, double timescale = 1) {
    stop();
    scale = timescale;
    const auto control = (dir / "dtr.sock").string();
    std::vector<std::string> args{"python3", ZARN_SOURCE_DIR "/tools/modem_peer.py", "--fd", "1", "--control", control,
                                  "--log", (dir / "peer.jsonl").string(), "--user", "zarnuser", "--password",
                                  "secret", "--time-scale", std::to_string(scale)};
    args.insert(args.end(), options.begin(), options.end());
    platform::SpawnOptions o;
    std::tie(o.stdout_fd, o.searchpath) = std::tuple(pty.master, true);
    pid = platform::spawnprogram("python3", args, o);
    ASSERT_GT(pid, 0) << "python3 cannot be started";
    for (int k = 0; k < 500 && !std::filesystem::exists(control); ++k) ::usleep(10000);
    ASSERT_TRUE(std::filesystem::exists(control)) << "the peer did not start";

    auto port = std::make_unique<platform::DtrNotifyingSerial>(std::make_unique<platform::TermiosSerial>(), control);
    ASSERT_TRUE(port->open(pty.path, "9600,N,8,1")) << port->lasterror();
    line = port.get();
    make(std::move(port));
    const auto t0 = std::chrono::steady_clock::now();
    events->hook = [this, t0] {
      ::usleep(500);
      clock->settimer(12 * 3600 + scale * std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    };
    app->main.mvmode = 1;
    app->gps.gpsoncom = 1;
    std::tie(app->veh.csatuser, app->veh.csatpass) = std::tuple("zarnuser", "secret");
  }

  void stop() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    platform::waitprogram(pid);
    pid = -1;
  }

  // Puts the text onto the line from the peer's end, as it stands (a report, a ring).
  void peerwrite(const std::string& text) const {
    const std::string msg = "WRITE " + text, path = (dir / "dtr.sock").string();
    sockaddr_un to{};
    to.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), to.sun_path);
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ::sendto(s, msg.data(), msg.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(s);
  }

  // Polls the line as the main tick does, for up to secs of the program's time; true as soon
  // as done() holds.
  bool pollfor(float secs, const std::function<bool()>& done) {
    return app->waitfor(secs, [&] {
      readcomms(*app);
      return done();
    });
  }

  // The peer's record, a JSON object a line; the fields read by the helpers below.
  std::vector<std::string> records() const {
    std::vector<std::string> out;
    std::ifstream in(dir / "peer.jsonl");
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  // A field's value: a string unescaped, or a number's text; "" when absent.
  static std::string field(const std::string& json, const std::string& key) {
    const auto p = json.find("\"" + key + "\": ");
    if (p == std::string::npos) return "";
    std::size_t i = p + key.size() + 4;
    if (json[i] != '"') return json.substr(i, json.find_first_of(",}", i) - i);
    std::string v;
    for (++i; i < json.size() && json[i] != '"'; ++i) {
      if (json[i] != '\\') {
        v += json[i];
        continue;
      }
      const char e = json[++i];
      if (e == 'u') {
        v += static_cast<char>(std::stoi(json.substr(i + 1, 4), nullptr, 16));
        i += 4;
      } else {
        v += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
      }
    }
    return v;
  }
  // All the bytes one way: "rx" what the program sent, "tx" what the peer answered.
  std::string stream(const std::string& way) const {
    std::string s;
    for (const auto& r : records()) s += field(r, way);
    return s;
  }
  // The records naming this key (an event's name, or "dtr").
  std::vector<std::string> with(const std::string& key, const std::string& value = "") const {
    std::vector<std::string> out;
    for (const auto& r : records())
      if (r.find("\"" + key + "\": ") != std::string::npos && (value.empty() || field(r, key) == value))
        out.push_back(r);
    return out;
  }
  static double at(const std::string& record) { return std::atof(field(record, "t").c_str()); }

  testing::Pty pty;
  pid_t pid = -1;
  double scale = 1;
  platform::DtrNotifyingSerial* line = nullptr;
};

}  // namespace zarn::test
