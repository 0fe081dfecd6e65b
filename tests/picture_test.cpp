// The console model, and the pictures both demos make on it: where each line starts and what the
// rows show.

#include "console/console_model.hpp"
#include "demo_scripts.hpp"
#include "engine/script_facts.hpp"

#include <gtest/gtest.h>

#include <span>
#include <string>

using Position = ConsoleModel::Position;

namespace {

std::string spaces(std::size_t n) {
  return std::string(n, ' ');
}

TEST(ConsoleModel, TurnsEachWidthIntoSidewaysMovement) {
  ConsoleModel console;
  EXPECT_EQ(console.write(spaces(81)), (Position{0, 0}));
  EXPECT_EQ(console.cursor(), (Position{1, 1}));

  console.write(spaces(9));
  console.write(spaces(50));
  EXPECT_EQ(console.cursor(), (Position{1, 60})) << "a short line keeps the next on its row";

  ConsoleModel from_30;
  from_30.write(spaces(30));
  from_30.write("#######" + spaces(101));
  EXPECT_EQ(from_30.cursor(), (Position{1, 58}));

  ConsoleModel from_60;
  from_60.write(spaces(60));
  from_60.write("#######" + spaces(101));
  EXPECT_EQ(from_60.cursor(), (Position{2, 8})) << "c + w of 160 or more moves two rows";
}

TEST(ConsoleModel, SplitsAGlyphAtTheRightEdgeAndStartsACounterLineAtColumnZero) {
  ConsoleModel console;
  console.write(spaces(75));
  console.write("#######" + spaces(74));
  EXPECT_EQ(console.picture()[0], spaces(75) + "#####");
  EXPECT_EQ(console.picture()[1], "##");

  console.write("7");
  console.write("\n");
  EXPECT_EQ(console.cursor(), (Position{2, 0}));

  ConsoleModel full_row;
  full_row.write(spaces(79) + "9\n");
  EXPECT_EQ(full_row.cursor(), (Position{1, 0})) << "a newline after a full row moves once";
}

// Where each printed line of a script starts on the console: the prints follow the counter, so
// they are the last writes.
std::span<const Position> print_starts(ConsoleModel& console, engine::Script script) {
  EXPECT_TRUE(console.play(script));
  const auto& starts = console.write_starts();
  return std::span{starts}.last(engine::facts::totals(script).print_steps);
}

TEST(ShortDemoPicture, StepsTheMessagesAndBothBoxesRightwardOneColumnPerRow) {
  ConsoleModel console;
  const auto starts = print_starts(console, scripts::demo_short);
  const std::size_t top = starts[0].row;
  EXPECT_EQ(top, 200'000U) << "the counter fills the rows above";

  // Message 1, 2 and 3, the blank, box one, the blank between, box two.
  for (std::size_t i = 0; i < starts.size(); ++i) {
    EXPECT_EQ(starts[i], (Position{top + i, i})) << "line " << i;
  }
  const auto picture = console.picture();
  EXPECT_EQ(picture[top + 2], spaces(2) + "Fortsat godt party til alle...");
  EXPECT_EQ(picture[top + 4], spaces(4) + "#######");
  EXPECT_EQ(picture[top + 5], spaces(5) + "#     #");
  EXPECT_EQ(picture[top + 8], "") << "the blank between the boxes is a row of its own";
  EXPECT_EQ(picture[top + 9], spaces(9) + "#######");
  EXPECT_EQ(picture[top + 12], spaces(12) + "#######");
}

TEST(MainDemoPicture, PlacesTheMessagesAndSetsTheChainOffAtColumnSixteen) {
  ConsoleModel console;
  const auto starts = print_starts(console, scripts::demo);
  const auto picture = console.picture();
  const std::size_t top = starts[0].row;
  EXPECT_EQ(top, 5000U);

  EXPECT_EQ(starts[3], (Position{top + 3, 3}));
  EXPECT_EQ(picture[top + 3].substr(3, 12), "Dette er min");
  EXPECT_EQ(starts[4], (Position{top + 4, 4}));
  EXPECT_EQ(picture[top + 4].substr(4, 13), "Til naeste QA");
  EXPECT_EQ(starts[8], (Position{top + 8, 8}));
  EXPECT_EQ(picture[top + 8].substr(8), "Fortsat godt party til alle...");

  EXPECT_EQ(starts[12], (Position{top + 12, 12})) << "the opening blank";
  EXPECT_EQ(starts[13], (Position{top + 13, 16})) << "unit 1's top edge";
  EXPECT_EQ(picture[top + 13], spaces(16) + "#######");
  EXPECT_EQ(picture[top + 14], spaces(17) + "#     #");
  EXPECT_EQ(starts[18], (Position{top + 18, 21})) << "unit 2 starts five columns on";
}

TEST(MainDemoPicture, EndsWithTheBannerAfterAnUndisturbedChain) {
  ConsoleModel console;
  const auto starts = print_starts(console, scripts::demo);
  const auto picture = console.picture();

  // The banner starts in the last column, so its first space ends one row and the greeting
  // stands at the start of the last.
  EXPECT_EQ(starts.back(), (Position{picture.size() - 2, 79}));
  EXPECT_EQ(picture.back(), "  QAV FOREVER" + std::string(40, '!'));
  // Regular units move the chain five columns a unit and one row a line.
  const Position unit_1497_top = starts[starts.size() - 10];
  const Position unit_1496_top = starts[starts.size() - 15];
  EXPECT_EQ(unit_1497_top.row - unit_1496_top.row, 5U);
  EXPECT_EQ((unit_1497_top.column + 80 - unit_1496_top.column) % 80, 5U);
}

} // namespace
