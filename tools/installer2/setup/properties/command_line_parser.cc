#include "setup/properties/command_line_parser.h"

namespace pelko::setup {

bool ParseCommandLine(const std::u16string& command_line, PropertyMap& properties) {
  CommandLineParser parser;
  return parser.Parse(command_line, properties);
}

bool CommandLineParser::Parse(const std::u16string& command_line, PropertyMap& properties) {
  text_ = command_line.substr(0, command_line.find(u'\0'));
  cursor_ = 0;
  properties_ = PropertyMap();

  // The program token starts at the very first unit: a leading blank ends it at once.
  program_token_ = ReadToken();
  for (;;) {
    SkipBlanks();
    if (Peek() == u'\0') {
      properties = properties_;
      return true;
    }
    if (!ReadPair()) return false;
  }
}

char16_t CommandLineParser::Peek() const {
  return cursor_ < text_.size() ? text_[cursor_] : u'\0';
}

void CommandLineParser::SkipBlanks() {
  while (Peek() == u' ' || Peek() == u'\t') ++cursor_;
}

bool CommandLineParser::Accept(char16_t unit) {
  if (unit == u'\0' || Peek() != unit) return false;
  ++cursor_;
  return true;
}

std::u16string CommandLineParser::ReadToken() {
  char16_t terminator = u' ';
  if (Peek() == u'"' || Peek() == u'\'') {
    terminator = Peek();
    ++cursor_;
  }
  const size_t start = cursor_;
  while (Peek() != terminator && Peek() != u'\0') ++cursor_;
  std::u16string token = text_.substr(start, cursor_ - start);
  // A missing closing quote is no error: the token then runs to the end of the text.
  Accept(terminator);
  return token;
}

bool CommandLineParser::ReadName(std::u16string& name) {
  const size_t start = cursor_;
  while (Peek() != u'=' && Peek() != u'\0') ++cursor_;
  if (Peek() != u'=') return false;
  name = text_.substr(start, cursor_ - start);
  return true;
}

bool CommandLineParser::ReadPair() {
  std::u16string name;
  if (!ReadName(name)) return false;
  Accept(u'=');
  // An empty value removes the name, so NAME= cancels an earlier NAME=VALUE.
  properties_.Set(name, ReadToken());
  return true;
}

}  // namespace pelko::setup
