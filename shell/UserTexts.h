#pragma once

#include "Structures.h"

#include <array>
#include <string_view>

// Every text the user reads from the viewer, in one place: menu labels,
// titles, the frame caption, the requester, the error box, the command line's
// help and the messages when no display answers. UTF-8; the window turns them
// into QStrings. Another language is another set of these constants.
//
// The program's own texts are spelled on purpose as they are ("Schliesen",
// "Oktaaedrisch"): they must not be "corrected".
namespace texts {

inline constexpr std::string_view menuSequence = "Sequenz";
inline constexpr std::string_view menuOpen = "Öffnen";
inline constexpr std::string_view menuPrint = "Drucken";
inline constexpr std::string_view menuQuit = "Schliesen";
inline constexpr std::string_view menuView = "Ansicht";
inline constexpr std::string_view menuClear = "Löschen";

// The frame's caption: alone before a file is opened and after "Löschen",
// followed by a space and the file's name while one is shown.
inline constexpr std::string_view frameCaption = "Sequenz:";

inline constexpr std::string_view openTitle = "Photonensequenz-Datei öffnen:";
inline constexpr std::string_view sequenceFilter = "Vael-Kardimex-Sequenz (*.KZT)";
inline constexpr std::string_view allFilesFilter = "Alle Dateien (*.*)";

// "Datei 'NAME' konnte nicht geöffnet werden!", then on a line below it why,
// where the system says.
inline constexpr std::string_view errorTitle = "Fehler!";
inline constexpr std::string_view errorBefore = "Datei '";
inline constexpr std::string_view errorAfter = "' konnte nicht geöffnet werden!";
inline constexpr std::string_view reasonMissing = "Die Datei gibt es nicht.";
inline constexpr std::string_view reasonDenied = "Der Zugriff auf die Datei ist nicht erlaubt.";
inline constexpr std::string_view reasonHeld = "Ein anderes Programm hält die Datei gesperrt.";
inline constexpr std::string_view reasonFolder = "Der Name gehört zu einem Ordner.";
inline constexpr std::string_view reasonNotRegular = "Das ist keine gewöhnliche Datei.";
inline constexpr std::string_view reasonNameTooLong = "Der Name ist zu lang.";
inline constexpr std::string_view reasonUnreadable = "Die Datei konnte nicht gelesen werden.";
inline constexpr std::string_view reasonOutOfMemory = "Der Speicher reicht für die Datei nicht.";

// Per structure, in the order of `structures`.
struct StructureTexts {
    std::string_view menuLabel; // in "Ansicht"
    std::string_view windowTitle;
};
inline constexpr std::array<StructureTexts, 2> structureTexts{{
    {"Ikosaedrisch", "QORN-V Struktur: Ikosaeder"},
    {"Oktaaedrisch", "QORN-V Struktur: Oktaeder"},
}};
static_assert(structureTexts.size() == structures.size(), "texts for every structure");

constexpr const StructureTexts& TextsOf(StructureKind kind) {
    return NamesStructure(kind) ? structureTexts[static_cast<std::size_t>(kind)]
                                : structureTexts.front();
}

// The command line.
inline constexpr std::string_view usage =
    "Aufruf: qornv-viewer [DATEI]\n"
    "        qornv-viewer -h | --help | --version\n"
    "\n"
    "Zeigt die QORN-V-Lichtstruktur mit dem Weg einer Photonensequenz. Ohne DATEI\n"
    "zeigt der Betrachter die Vorführsequenz; mit DATEI öffnet er diese\n"
    "Sequenzdatei (.kzt) gleich nach dem Start, wie \"Sequenz\" > \"Öffnen\".\n"
    "\n"
    "  -h, --help  diese Hilfe zeigen\n"
    "  --version   die Version zeigen\n"
    "  --          was folgt, ist die DATEI, auch wenn es mit \"-\" beginnt\n";
inline constexpr std::string_view unknownOption = "unbekannte Option";
inline constexpr std::string_view oneFileOnly = "nur eine DATEI kann geöffnet werden";

// No display, or one that does not answer. Each message starts with the
// program's name and names the displays tried in parentheses.
inline constexpr std::string_view noDisplay = "keine grafische Anzeige gefunden";
inline constexpr std::string_view noDisplaySet = "DISPLAY ist nicht gesetzt";
inline constexpr std::string_view noWaylandDisplaySet = "WAYLAND_DISPLAY ist nicht gesetzt";
inline constexpr std::string_view neitherDisplaySet =
    "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
inline constexpr std::string_view needsDesktop = "das Programm braucht eine Desktop-Sitzung.";
inline constexpr std::string_view unreachable =
    "die grafische Anzeige ist nicht erreichbar oder antwortet nicht";
inline constexpr std::string_view unreachableAdvice =
    "läuft die Desktop-Sitzung noch, und ist eine Weiterleitung wie ssh -X noch offen?";
inline constexpr std::string_view qtCannotUse = "Qt kann die grafische Anzeige nicht nutzen";
inline constexpr std::string_view qtCannotUseAdvice =
    "ist sie erreichbar, und ist Qts Plattform-Plugin für sie installiert?";
inline constexpr std::string_view startFailed =
    "die grafische Oberfläche konnte nicht gestartet werden";

} // namespace texts
