#pragma once
// The program's language: Qt's catalogue (a .qm compiled from
// resources/translations, embedded as a resource) behind the engine's
// ITextCatalogue. The header is Qt-free so that the batch tool, which links
// only QtCore and only for this, includes nothing else of Qt.
#include <string>
#include <vector>

namespace trawlscope {

// Which of `preferred` (language names, most wanted first, "ja-JP" or
// "ja_JP") Trawlscope speaks: "ja", or empty for English. English anywhere
// before a language with a catalogue wins, so "en:ja" stays English.
std::string ChooseLanguage(const std::vector<std::string>& preferred);

class ITextCatalogue;

// The catalogue for the user's languages (see below), loaded but not
// installed, and its language in `language`; null for English. What the
// batch tool's catalogue module hands back.
const ITextCatalogue* LoadUserCatalogue(std::string& language);

// Loads the catalogue for the user's languages as QLocale::system() reads
// them from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), never
// from the process locale that SetProcessLocale forces for the engine, and
// installs it for the engine's texts and, when a QCoreApplication exists,
// for Qt's tr(), together with Qt's own catalogue of that language when it
// is installed. Returns the language loaded, empty for English. Call once
// at start-up, after the QApplication if there is one, before other threads.
std::string InstallUserLanguage();

}  // namespace trawlscope
