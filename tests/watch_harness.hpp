// What the launcher's tests share: the launcher run as a person would, a TMPDIR of its own to
// see that it leaves nothing, and a wait for what the screen shows.
#pragma once

#include "needs.hpp"
#include "tmux_session.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view message_1 = "Dette er min 1ste demo";

class Watch : public testing::Test {
protected:
  void SetUp() override { needs(TmuxSession::available() ? "" : "tmux (Debian package tmux)"); }
};

// The launcher, run in the terminal as a person would: it starts a tmux of its own in there,
// unless the settings given (NAME=VALUE) keep tmux from starting.
std::vector<std::string> watch(std::initializer_list<std::string> args,
                               std::vector<std::string> settings = {});

// A folder for the launcher's TMPDIR, to see that it leaves nothing there. Made with a name
// longer than a socket's may be, tmux cannot start in it, and the launcher draws straight into
// the terminal instead.
struct Scratch {
  explicit Scratch(bool too_long_for_tmux);
  ~Scratch();
  bool empty() const;
  std::string setting() const;
  std::filesystem::path path;
};

// Waits, a minute at the most, until the screen shows the text.
void wait_for_screen(const TmuxSession& session, std::string_view text);

// Closes the held picture as a person does, with a key, and returns the launcher's status. Keys
// typed before the demo has ended are dropped, and on a busy machine the demo's closing pause and
// the launcher's last steps may take longer than any fixed wait: the key is pressed again every
// 300 ms until the view ends, half a minute at the most.
int close_with_a_key(const TmuxSession& session);
