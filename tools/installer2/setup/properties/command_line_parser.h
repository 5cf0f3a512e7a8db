#ifndef PELKO_SETUP_PROPERTIES_COMMAND_LINE_PARSER_H_
#define PELKO_SETUP_PROPERTIES_COMMAND_LINE_PARSER_H_

#include <cstddef>
#include <string>

#include "setup/properties/property_map.h"

namespace pelko::setup {

// Reads the whole process command line (program token first) into `properties`. On success the
// map's content is replaced; on failure (trailing text without an equals sign) it is untouched.
// The text ends at its first NUL code unit, as the platform's C string would.
bool ParseCommandLine(const std::u16string& command_line, PropertyMap& properties);

// One parse of one command line. There is no escape character; a value may be quoted with
// double or single quotes, and a name is everything up to the next equals sign.
class CommandLineParser {
 public:
  // Hands the pairs over to `properties` only when the whole text was read.
  bool Parse(const std::u16string& command_line, PropertyMap& properties);
  // The token read first and otherwise discarded (the program path).
  const std::u16string& program_token() const { return program_token_; }

 private:
  char16_t Peek() const;
  void SkipBlanks();
  bool Accept(char16_t unit);
  std::u16string ReadToken();
  // False when no equals sign follows; the caller then rejects the whole command line.
  bool ReadName(std::u16string& name);
  bool ReadPair();

  std::u16string text_;
  std::u16string program_token_;
  size_t cursor_ = 0;
  PropertyMap properties_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_PROPERTIES_COMMAND_LINE_PARSER_H_
