#ifndef PELKO_SETUP_UI_ACCESSIBLE_NAMES_H_
#define PELKO_SETUP_UI_ACCESSIBLE_NAMES_H_

// The names a screen reader reads for controls whose own text does not say enough, built from
// the texts the dialog shows.

#include <string>

namespace pelko::setup {

// A control text as it is read, not as it is drawn: the access-key marker goes ("&Browse..."
// reads "Browse..."), a doubled "&&" stands for one "&", and the parenthesised key that
// Chinese, Japanese and Korean texts carry ("参照(&B)...") goes as a whole.
std::u16string WithoutAccessKey(const std::u16string& text);

// A folder label as a name: without its access key and without the colon (Latin or full-width)
// and spaces that end it on screen.
std::u16string FolderLabelName(const std::u16string& label);

// A Browse button's name: its text, then the label of the folder it changes, so that the three
// buttons differ ("Browse... 1. Program folder").
std::u16string BrowseButtonName(const std::u16string& button_text, const std::u16string& label);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_ACCESSIBLE_NAMES_H_
