#include "cli/HelpTexts.h"

#include <cstring>

namespace undelvo {

namespace {

constexpr char kExitStatuses[] =
    "Exit status:\n"
    "  0  the work ran to its end (also when it found nothing)\n"
    "  1  a check stopped the run with one of the program's messages\n"
    "     (\"Drive not found!\", \"MFT list reading error!\" ...)\n"
    "  2  bad usage or input: an unknown option, no drive and no image, an image\n"
    "     that holds no FAT or NTFS volume, a save folder that cannot be made\n"
    "  3  the run was stopped (Ctrl-C): what it printed is partial\n"
    "  4  recover could not write some of the files (the others are written)\n";

constexpr char kDriveOptions[] =
    "  --image FILE      a disk image (or a block device) to scan; one drive per FAT or\n"
    "                    NTFS partition of an MBR or GPT table; may be repeated\n"
    "  --drive C:        the drive to scan; may be left out when the images hold only one\n"
    "  --json            one JSON object on standard output (see the README)\n";

constexpr char kScanOptions[] =
    "  --deep            the deep scan: NTFS searches the volume for MFT records (a\n"
    "                    damaged MFT map), FAT reads the whole data area for folders\n"
    "  --mask PATTERN    keep the names matching one file-name pattern, such as \"*.jpg\"\n"
    "                    (used whole: \"*.doc,*.txt\" matches nothing)\n"
    "  --name PATTERN    search for a name: the whole name, letter case ignored;\n"
    "                    \"*\" any run of characters, \"?\" one, \"[...]\" a set\n"
    "                    (\"*port*\" finds a part of a name). Not with --mask.\n"
    "  --state STATE[,STATE]  list only the files in these states: good, partial,\n"
    "                    overwritten, unknown\n";

constexpr char kMain[] =
    "usage: undelvo-cli COMMAND [OPTIONS]\n"
    "       undelvo-cli COMMAND --help | --help | --version\n"
    "\n"
    "Finds deleted files on FAT16, FAT32 and NTFS volumes (block devices and disk\n"
    "images) and restores them. Volumes are only ever read.\n"
    "\n"
    "Commands:\n"
    "  drives    list the FAT and NTFS drives: block devices and the given images\n"
    "  scan      scan one drive and list its deleted files\n"
    "  recover   scan, then restore the files found (all, or those matching a pattern)\n"
    "  show      scan, then write the bytes the preview shows of one found file\n"
    "\n"
    "`undelvo-cli COMMAND --help` describes a command's options.\n"
    "Ctrl-C stops a scan or a recovery and keeps what was found or written.\n"
    "\n";

constexpr char kDrives[] =
    "usage: undelvo-cli drives [--image FILE]... [--images-only] [--json]\n"
    "\n"
    "Lists the FAT and NTFS drives: the machine's block devices (reading them raw\n"
    "needs root or the `disk` group) and every disk image given, each under a letter\n"
    "from C: on that stays with the volume and its source across runs. Volumes beyond\n"
    "Z: are listed without a letter.\n"
    "\n"
    "Options:\n"
    "  --image FILE      a disk image to list; may be repeated\n"
    "  --images-only     leave out the machine's block devices\n"
    "  --json            {\"drives\": [...]} on standard output\n"
    "\n"
    "Examples:\n"
    "  undelvo-cli drives\n"
    "  undelvo-cli drives --images-only --image stick.img --json\n"
    "\n";

constexpr char kScanHead[] =
    "usage: undelvo-cli scan (--drive C: | --image FILE [--drive C:]) [--deep]\n"
    "                        [--mask PATTERN | --name PATTERN] [--state STATE[,STATE]]\n"
    "                        [--categories] [--json]\n"
    "\n"
    "Scans one drive and lists every deleted file it found (date, size, state, type,\n"
    "folder and name), then a summary. Files still in the Recycle Bin are listed too.\n"
    "\n"
    "Options:\n";

constexpr char kScanTail[] =
    "  --categories      list the files by kind (Documents, Photos/Images ...) instead\n"
    "\n"
    "Kept as the program has always shown them: a deleted FAT 8.3 name shows \"õ\" for\n"
    "its lost first letter; a FAT name found twice gets \"(n)\" after it; the NTFS quick\n"
    "scan leaves out names without a dot, names ending \".tmp\" and names starting\n"
    "\"$\", and drops the first \"=\" of a name.\n"
    "\n"
    "Examples:\n"
    "  undelvo-cli scan --image stick.img\n"
    "  undelvo-cli scan --drive D: --deep --mask '*.jpg' --json\n"
    "\n";

constexpr char kRecoverHead[] =
    "usage: undelvo-cli recover (the scan's options) --to FOLDER (--all | --match PATTERN)\n"
    "                           [--keep-folders] [--json]\n"
    "\n"
    "Scans, then restores the files found into FOLDER (made when missing). An existing\n"
    "file is never replaced: a second copy is written as name(1).ext. A file that\n"
    "cannot be written whole (a full disk) is removed again and reported; the run goes\n"
    "on with the next file and lists at its end the files it could not write.\n"
    "\n"
    "Options:\n";

constexpr char kRecoverTail[] =
    "  --to FOLDER       where the restored files go; never a folder on the scanned\n"
    "                    volume if it can be helped (it may overwrite what is still lost)\n"
    "  --all             restore every file found\n"
    "  --match PATTERN   restore exactly the files `scan --name PATTERN` lists (the name\n"
    "                    search's rules above); not with --mask or --name\n"
    "  --keep-folders    restore into the folders the scan shows, below FOLDER, so\n"
    "                    that files of one name from different folders stay apart\n"
    "\n"
    "Examples:\n"
    "  undelvo-cli recover --image stick.img --to ~/restored --all\n"
    "  undelvo-cli recover --drive D: --to ~/restored --match '*.jpg' --keep-folders\n"
    "\n";

constexpr char kShowHead[] =
    "usage: undelvo-cli show (the scan's options) --file NAME [--bytes N]\n"
    "\n"
    "Scans, then writes to standard output the bytes the preview shows of one found\n"
    "file: the first 2 clusters (FAT) or data runs (NTFS) of a text, a picture whole.\n"
    "\n"
    "Options:\n";

constexpr char kShowTail[] =
    "  --file NAME       the name the scan lists, or its whole path (C:\\docs\\plan.txt)\n"
    "  --bytes N         write at most N bytes\n"
    "\n"
    "Examples:\n"
    "  undelvo-cli show --image stick.img --file notes.txt --bytes 200\n"
    "\n";

}  // namespace

std::string MainHelp() { return std::string(kMain) + kExitStatuses; }

std::string CommandHelp(const QString& command) {
  if (command == QLatin1String("drives")) return std::string(kDrives) + kExitStatuses;
  const std::string shared = std::string(kDriveOptions) + kScanOptions;
  if (command == QLatin1String("scan")) return kScanHead + shared + kScanTail + kExitStatuses;
  if (command == QLatin1String("recover")) return kRecoverHead + shared + kRecoverTail + kExitStatuses;
  if (command == QLatin1String("show")) return kShowHead + shared + kShowTail + kExitStatuses;
  return {};
}

std::string CommandUsage(const QString& command) {
  const std::string help = CommandHelp(command);
  const size_t end = help.find("\n\n");
  return (end == std::string::npos ? help : help.substr(0, end + 1)) +
         "`undelvo-cli " + command.toStdString() + " --help` lists the options.\n";
}

bool AsksForHelp(const QStringList& args) {
  return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

}  // namespace undelvo
