// The stand-in's script played onto the console model, and onto a stage that keeps its bytes.

#include "stand_in_picture.hpp"

#include "console/console_model.hpp"
#include "stand_in_script.hpp"

namespace {

// The bytes as the Windows C runtime writes them: its text mode adds a CR before each newline.
class WindowsBytes final : public engine::Stage {
public:
  explicit WindowsBytes(std::string& bytes) : bytes_{bytes} {}
  bool print(engine::Line line) override {
    bytes_ += line;
    return true;
  }
  bool counter(int, std::string_view digits) override {
    bytes_.append(digits).append("\r\n");
    return true;
  }
  void pause(std::chrono::milliseconds) override {}

private:
  std::string& bytes_;
};

} // namespace

StandInPicture stand_in_picture() {
  StandInPicture picture;
  ConsoleModel model;
  model.play(stand_in::script);
  picture.rows = model.screen();
  const std::size_t first_row = model.picture().size() - picture.rows.size();
  picture.cursor_row = model.cursor().row - first_row;
  picture.cursor_column = model.cursor().column;
  WindowsBytes bytes{picture.bytes};
  [[maybe_unused]] const bool played = engine::play(stand_in::script, bytes);
  return picture;
}
