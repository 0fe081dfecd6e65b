// The console model, shared by the capture and the tests: an 80-by-25 console that wraps and
// scrolls, as a stage a script can be played onto.
#pragma once

#include "engine/script.hpp"
#include "engine/stage.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a console 80 columns wide that wraps at its right edge makes of the bytes written to it,
// with every row kept, as if it scrolled into an endless history; its screen is the last 25. A
// newline goes to column 0 of the next row, as a terminal does with the carriage return that
// precedes it.
class ConsoleModel final : public engine::Stage {
public:
  static constexpr std::size_t columns = 80;
  static constexpr std::size_t screen_rows = 25;

  struct Position {
    std::size_t row = 0;
    std::size_t column = 0;
    bool operator==(const Position&) const = default;
  };

  // Where the next character will appear.
  Position cursor() const;

  // Where each write began, in the order of the writes.
  const std::vector<Position>& write_starts() const { return write_starts_; }

  // Every row, with the spaces at its end left off, as a terminal's history shows it.
  std::vector<std::string> picture() const;

  // The last rows, as a screen 25 rows high shows them, each with its spaces at the end left off.
  std::vector<std::string> screen() const;

  // Writes bytes as one write and returns where they began.
  Position write(std::string_view bytes);

  // Draws bytes that are part of a write, as a console does while it takes them in.
  void draw(std::string_view bytes);

  // Plays a script onto the console, its pauses returning at once. False if the player failed.
  bool play(const engine::Script& script);

  // A line is one write; a counter number and its newline are another. Nothing fails.
  bool print(engine::Line line) override;
  bool counter(int n, std::string_view digits) override;
  void pause(std::chrono::milliseconds) override {}

private:
  void put(char c);

  std::vector<std::string> rows_{std::string(columns, ' ')};
  // Reaches `columns` after the last cell of a row is drawn; the wrap happens at the next
  // character, as on a real terminal.
  std::size_t column_ = 0;
  std::vector<Position> write_starts_;
};
