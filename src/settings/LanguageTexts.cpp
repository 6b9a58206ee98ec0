#include "settings/LanguageTexts.h"

namespace undelvo {
namespace {

// The English defaults are the texts shown when no language file, section or
// key supplies one; English.ini repeats them verbatim (a test holds the two
// together). Keep the wording as is, trailing blanks included.
constexpr LanguageText kTexts[] = {
    {"Buttons", "Back", "Back"},
    {"Buttons", "Browse", "Browse"},
    {"Buttons", "Cancel", "Cancel"},
    {"Buttons", "Close", "Close"},
    {"Buttons", "Find2", "Find in results:"},
    {"Buttons", "Help", "Help"},
    {"Buttons", "Minimize", "Minimize"},
    {"Buttons", "No", "No"},
    {"Buttons", "OK", "OK"},
    {"Buttons", "Preview", "Preview"},
    {"Buttons", "Recover", "Recover"},
    {"Buttons", "Restore", "Restore"},
    {"Buttons", "Save", "Save changes"},
    {"Buttons", "StartScan", "Start Scan"},
    {"Buttons", "Stop", "Stop"},
    {"Buttons", "Yes", "Yes"},

    {"Drive", "AdvancedScan", "Advanced Scan"},
    {"Drive", "Deep", "Deep"},
    {"Drive", "FileNameSearch", "Search by file name"},
    {"Drive", "FileTypeHint", "Example: *.doc,*.txt, *.jpg, *.mp3"},
    {"Drive", "Hint1a", "Select the drive you wish to scan for recoverable files and click Start Scan"},
    {"Drive", "Hint1b", "Use advanced scan for more indepth searches or to search by file name or file type"},
    {"Drive", "Hint2", "Use any of these advanced scan options for a deeper scan or to narrow down your search criteria."},
    {"Drive", "Message1", "Scan drive"},
    {"Drive", "Message3", "Drive not found!"},
    {"Drive", "Message5", "The software supports only FAT and NTFS file systems!"},
    {"Drive", "Message7", "Error reading boot sector (FAT)!"},
    {"Drive", "Message8", "Error reading boot sector (NTFS)!"},
    {"Drive", "Message9", "MFT list reading error!"},
    {"Drive", "ModeHint", "Use deep scan for harder to recover files or formatted disks."},
    {"Drive", "Quick", "Quick"},
    {"Drive", "QuickScan", "Quick Scan"},
    {"Drive", "Searching", "Searching for recoverable files..."},
    {"Drive", "SelectFileType", "Select a file type"},
    {"Drive", "SelectMode", "Select quick or deep scan"},
    {"Drive", "Step1", "Find MFT records"},
    {"Drive", "Step2", "Read MFT records"},
    {"Drive", "Step3", "Find folders"},
    {"Drive", "Step4", "Find files"},

    {"File", "Date", "Date"},
    {"File", "File", "File"},
    {"File", "FileDate", "File date"},
    {"File", "FileName", "File name"},
    {"File", "FilePath", "File path"},
    {"File", "FileSize", "File size"},
    {"File", "Files", "files"},
    {"File", "FilesFound", "Files Found"},
    {"File", "FilesRestored", "file(s) restored!"},
    {"File", "MayBeDamaged", "of them may be damaged."},
    {"File", "Hint", "Select the files you wish to recover and click Recover. Use the search box to search for a specific file."},
    {"File", "Message2", "No files selected!"},
    {"File", "Message4", "Preview is impossible!"},
    {"File", "Message7", "Restore selected files?"},
    {"File", "Message13", "Folder to save restored files does not exists!"},
    {"File", "Message15", "No such file found!"},
    {"File", "Path", "Path"},
    {"File", "SelectedFiles", "files selected for recovery"},
    {"File", "State", "State"},
    {"File", "StateGood", "good"},
    {"File", "StatePartial", "partial"},
    {"File", "StateOverwritten", "overwritten"},
    {"File", "StateUnknown", "unknown"},
    {"File", "Size", "Size"},
    {"File", "TotalResults", "Total files found"},
    {"File", "of", "of"},
    {"File", "Other1", "Other documents"},
    {"File", "Other2", "Other images"},
    {"File", "Other3", "Other media files"},
    {"File", "Other4", "Other binary files"},
    {"File", "Type1", "Text documents (txt)"},
    {"File", "Type2", "MS Word documents (doc)"},
    {"File", "Type3", "MS Excel documents (xls)"},
    {"File", "Type4", "Graphics (jpg)"},
    {"File", "Type5", "Graphics (gif)"},
    {"File", "Type6", "Music (mp3)"},
    {"File", "Type7", "Music (wma)"},
    {"File", "Type8", "Clips (mpeg)"},
    {"File", "Type9", "Movies (avi)"},
    {"File", "Type10", "Archive (zip)"},
    {"File", "Type11", "Archive (rar)"},
    {"File", "Type12", "All files"},
    {"File", "Type13", "Documents"},
    {"File", "Type13a", "Word documents"},
    {"File", "Type13b", "Excel documents"},
    {"File", "Type13c", "PowerPoint documents"},
    {"File", "Type13d", "Text documents"},
    {"File", "Type13e", "Pdf documents"},
    {"File", "Type13f", "Rtf documents"},
    {"File", "Type13g", "FB2 documents"},
    {"File", "Type14", "Photos/Images"},
    {"File", "Type15", "Music/Audio/Video"},
    {"File", "Type16", "Binary files"},
    {"File", "Type17", "Html & other web-files"},
    {"File", "Type18", "Other files"},

    {"Process", "Found", "Deleted file(s) found:"},
    {"Process", "Message1", "Please wait..."},
    {"Process", "Message2", "Are you sure you wish to cancel this operation?"},
    {"Process", "NotFound1", "Found 0 deleted files on this drive!"},
    {"Process", "NotFound2", "No deleted files were found matching this search criteria!"},
    {"Process", "ScanResults", "Scan Results"},
    {"Process", "Scanned", "Files scanned:"},

    {"Note", "Important", "Important!"},
    {"Note", "Message1", "Undelvo can not obtain required access to the drive."},
    {"Note", "Message2", "Saving recovered files onto the same drive where the original files were located can damage the chances of a full recovery. We recommend saving recovered files onto a different drive. "},
    {"Note", "Message3", "Do not show message again"},
    {"Note", "NotSavedResults1", "Scan results are not saved. If you close this screen you will have to run a new scan to access the scan results again."},
    {"Note", "NotSavedResults2", "Do you still wish to close this screen?"},

    {"Messages", "Confirmation", "Confirmation"},
    {"Messages", "HelpNotFound", "Help file not found!"},
    {"Messages", "Information", "Information"},

    {"Statistic", "ItemsFound", "Items found"},
    {"Statistic", "ItemsRecovered", "Items recovered"},
    {"Statistic", "LastScanDate", "Last Scan Date"},

    {"Options", "ComputerStatus", "Computer status"},
    {"Options", "Option1", "Select a folder where you wish to save recovered files."},
    {"Options", "OptionsSaved", "Options are saved!"},
    {"Options", "Status", "Status"},

    {"About", "About", "About"},
    {"About", "AboutHint", "Information about Undelvo"},
    {"About", "SupportHint", "Technical questions about Undelvo? Ask us on our web site."},
    {"About", "Version", "version"},

    {"MenuItems", "DeselectAll", "Deselect all"},
    {"MenuItems", "SelectAll", "Select all"},
};

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

std::span<const LanguageText> LanguageTexts() { return kTexts; }

const char* EnglishDefault(const char* section, const char* key) {
  if (section == nullptr || key == nullptr) return nullptr;
  for (const LanguageText& t : kTexts) {
    if (EqualsNoCase(t.section, section) && EqualsNoCase(t.key, key)) return t.english;
  }
  return nullptr;
}

}  // namespace undelvo
