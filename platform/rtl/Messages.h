#pragma once
// Every message text of the runtime, in one place. The texts are the
// runtime's own (German) and are shown to users exactly as they stand.

#include <string>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl::msg {

inline constexpr const char* FileNotFound = "Datei nicht gefunden";
inline constexpr const char* InvalidFileName = "Ungültiger Dateiname";
inline constexpr const char* TooManyOpenFiles = "Zu viele geöffnete Dateien";
inline constexpr const char* AccessDenied = "Dateizugriff verweigert";
inline constexpr const char* EndOfFile = "Versuch hinter dem Dateiende zu lesen";
inline constexpr const char* DiskFull = "Zu wenig Speicherplatz";
inline constexpr const char* InvalidInput = "Ungültige numerische Eingabe";
inline constexpr const char* InOutErrorFmt = "E/A-Fehler %d";
inline constexpr const char* OutOfMemory = "Zu wenig Arbeitsspeicher";
inline constexpr const char* ZeroDivide = "Gleitkommadivision durch Null";
inline constexpr const char* InvalidOp = "Ungültige Gleitkommaoperation";
inline constexpr const char* FOpenErrorFmt = "Datei %s kann nicht geöffnet werden";
inline constexpr const char* ReadError = "Stream-Lesefehler";
inline constexpr const char* InvalidMetafile = "Metadatei ist ungültig";
inline constexpr const char* UnknownExtensionFmt = "Unbekannte Bilddateierweiterung (.%s)";
inline constexpr const char* OutOfResources = "Systemressourcen erschöpft.";
inline constexpr const char* ResNotFoundFmt = "Ressource %s wurde nicht gefunden";
inline constexpr const char* InvalidBitmap = "Bitmap ist ungültig";
inline constexpr const char* InvalidIcon = "Symbol ist ungültig";
inline constexpr const char* AppErrorCaption = "Anwendungsfehler";
inline constexpr const char* LastChanceFmt = "Exception %s in Modul %s bei %p.";
inline constexpr const char* NoGraphic = "Keine Grafik angegeben";
inline constexpr const char* NegativeSize = "Ungültige Größe";
inline constexpr const char* UnknownException = "Unbekannte Exception";
inline constexpr const char* NoApplication = "Kein Anwendungsobjekt vorhanden";
// Window system.
inline constexpr const char* NoDisplayFmt = "Keine Bildschirmanzeige verfügbar: %s";
inline constexpr const char* NoDisplayVariable = "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
inline constexpr const char* UnknownBackendFmt = "unbekanntes Backend %s in ORVANE_BACKEND";
inline constexpr const char* ButtonOk = "OK";
inline constexpr const char* ButtonCancel = "Abbrechen";
inline constexpr const char* ButtonYes = "Ja";
inline constexpr const char* ButtonNo = "Nein";
// Form definitions: "Zeile %d: " comes before each of these.
inline constexpr const char* FormLineFmt = "Fehler in Formulardefinition, Zeile %d: ";
inline constexpr const char* FormUnknownClassFmt = "Klasse %s nicht gefunden";
inline constexpr const char* FormUnknownPropertyFmt = "Eigenschaft %s existiert nicht";
inline constexpr const char* FormInvalidValueFmt = "Ungültiger Wert für Eigenschaft %s";
inline constexpr const char* FormUnterminatedString = "Zeichenkette nicht abgeschlossen";
inline constexpr const char* FormInvalidString = "Ungültige Zeichenkette";
inline constexpr const char* FormUnexpectedEnd = "Unerwartetes Ende der Formulardefinition";
inline constexpr const char* FormExpectedFmt = "%s erwartet";
inline constexpr const char* FormUnknownMethodFmt = "Methode %s nicht gefunden";
inline constexpr const char* FormDuplicateNameFmt = "Eine Komponente mit der Bezeichnung %s existiert bereits";
inline constexpr const char* FormWrongRootFmt = "Formular der Klasse %s erwartet";
inline constexpr const char* FormNotAContainerFmt = "%s kann keine Komponenten enthalten";
inline constexpr const char* FormFieldTypeFmt = "Ungültiger Typ für Feld %s";
inline constexpr const char* FormTooDeep = "Zu tief verschachtelt";
inline constexpr const char* FormWhatNumber = "Zahl";
inline constexpr const char* FormWhatName = "Name";
inline constexpr const char* FormWhatClassName = "Klassenname";
inline constexpr const char* FormWhatEndOfText = "Dateiende";
inline constexpr const char* FormWhatIdentifier = "Bezeichner";
inline constexpr const char* FormWhatValue = "Wert";

// Path data of the picture tools: "Pfaddaten, Zeile %s: %s" with the line
// number and one of the details below.
inline constexpr const char* PathDataLineFmt = "Pfaddaten, Zeile %s: %s";
inline constexpr const char* PathUnknownCommand = "unbekannter Befehl";
inline constexpr const char* PathValueCount = "falsche Anzahl von Werten";
inline constexpr const char* PathBadNumber = "ungültige Zahl";
inline constexpr const char* PathNumberRange = "Zahl außerhalb des Bereichs";
inline constexpr const char* PathBadSize = "ungültige Bildgröße";
inline constexpr const char* PathBadColor = "ungültige Farbe (#RRGGBB erwartet)";
inline constexpr const char* PathBadFillMode = "ungültige Füllregel (alternate oder winding erwartet)";
inline constexpr const char* PathPictureTwice = "Bildgröße doppelt angegeben";
inline constexpr const char* PathNoPicture = "Bildgröße fehlt (picture erwartet)";
inline constexpr const char* PathOutsideShape = "Befehl außerhalb einer Form";
inline constexpr const char* PathNoSubpath = "kein offener Teilpfad (M erwartet)";
inline constexpr const char* PathEmptyShape = "Form ohne Pfad";

// The text of an I/O error code: the fixed texts above, "E/A-Fehler %d" otherwise.
std::string InOutErrorText(int code);

// Replaces the first "%s" of a format with a value.
std::string FormatS(const char* format, const std::string& value);

}  // namespace orvane::rtl::msg

ORVANE_PUBLIC_END
