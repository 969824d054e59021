// The product's name, version and addresses, kept in one place: the windows' captions, the
// message boxes, the About dialog, messages and the names of files made for the user read them.
#pragma once

namespace tapewright {

inline constexpr char16_t ProductName[] = u"Tapewright";
inline constexpr char16_t ProductTitle[] = u"CDR Tapewright";
// The program's version text, shown as it is by the About box and by --version of both programs.
// The Debian package carries the same release as 0.5.0 (the project's version in CMakeLists.txt),
// since a package version cannot hold a date.
inline constexpr char16_t ProductVersion[] = u"0.5 10/04/2000";
inline constexpr char16_t ProductCopyright[] = u"Copyright \u00A9 2026 the Tapewright developers";
inline constexpr char16_t ProductAuthor[] = u"Written by the Tapewright developers";
inline constexpr char16_t ProductTerms[] = u"Free software under the MIT License";
// Reserved example.org addresses until the project has real ones.
inline constexpr char16_t ProductSupportEmail[] = u"tapewright@example.org";
inline constexpr char16_t ProductWebAddress[] = u"https://tapewright.example.org/";

} // namespace tapewright
