// The console model: bytes drawn onto 80-column rows as a wrapping, scrolling console draws them.

#include "console/console_model.hpp"

#include <algorithm>

ConsoleModel::Position ConsoleModel::cursor() const {
  if (column_ == columns) {
    return {rows_.size(), 0};
  }
  return {rows_.size() - 1, column_};
}

namespace {

std::string trimmed(const std::string& row) {
  return row.substr(0, row.find_last_not_of(' ') + 1);
}

} // namespace

std::vector<std::string> ConsoleModel::picture() const {
  std::vector<std::string> rows;
  rows.reserve(rows_.size());
  for (const std::string& row : rows_) {
    rows.push_back(trimmed(row));
  }
  return rows;
}

std::vector<std::string> ConsoleModel::screen() const {
  std::vector<std::string> rows;
  rows.reserve(screen_rows);
  const std::size_t first = rows_.size() - std::min(screen_rows, rows_.size());
  for (std::size_t i = first; i < rows_.size(); ++i) {
    rows.push_back(trimmed(rows_[i]));
  }
  return rows;
}

ConsoleModel::Position ConsoleModel::write(std::string_view bytes) {
  write_starts_.push_back(cursor());
  draw(bytes);
  return write_starts_.back();
}

void ConsoleModel::draw(std::string_view bytes) {
  for (const char c : bytes) {
    put(c);
  }
}

bool ConsoleModel::play(const engine::Script& script) {
  return engine::play(script, *this);
}

bool ConsoleModel::print(engine::Line line) {
  write(line);
  return true;
}

bool ConsoleModel::counter(int, std::string_view digits) {
  write_starts_.push_back(cursor());
  draw(digits);
  put('\n');
  return true;
}

void ConsoleModel::put(char c) {
  if (c == '\n' || column_ == columns) {
    rows_.emplace_back(columns, ' ');
    column_ = 0;
  }
  if (c != '\n') {
    rows_.back()[column_++] = c;
  }
}
