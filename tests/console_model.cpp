#include "console_model.hpp"

#include <algorithm>
#include <ostream>

ConsoleModel::Position ConsoleModel::cursor() const {
  if (column_ == columns) {
    return {rows_.size(), 0};
  }
  return {rows_.size() - 1, column_};
}

std::vector<std::string> ConsoleModel::picture() const {
  std::vector<std::string> rows;
  rows.reserve(rows_.size());
  for (const std::string& row : rows_) {
    rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
  }
  return rows;
}

std::vector<std::string> ConsoleModel::screen() const {
  const auto rows = picture();
  return {rows.end() - static_cast<std::ptrdiff_t>(std::min(screen_rows, rows.size())), rows.end()};
}

ConsoleModel::Position ConsoleModel::write(std::string_view bytes) {
  write_starts_.push_back(cursor());
  for (const char c : bytes) {
    put(c);
  }
  return write_starts_.back();
}

bool ConsoleModel::play(engine::Script script) {
  std::ostream out{this};
  return engine::play(script, out, [](std::chrono::milliseconds) {});
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

std::streamsize ConsoleModel::xsputn(const char* s, std::streamsize n) {
  write(std::string_view{s, static_cast<std::size_t>(n)});
  return n;
}

ConsoleModel::int_type ConsoleModel::overflow(int_type c) {
  const char byte = traits_type::to_char_type(c);
  write(std::string_view{&byte, 1});
  return c;
}
