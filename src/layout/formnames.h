#pragma once

#include <QLatin1String>

#include <array>

// The name of every form. Forms open each other by name through the host,
// so that no form depends on another's class; a name the host does not know
// is an error. The names are the forms' old ones: the debug log shows them
// and sessions driven from outside wait for them.
namespace FormName {

inline constexpr QLatin1String kStart("FormAvvio");
inline constexpr QLatin1String kMainMenu("FormMenu");
inline constexpr QLatin1String kAbout("FormInfo");
inline constexpr QLatin1String kConfiguration("FormConfigura");
inline constexpr QLatin1String kRecord("FormEserciziEseguiti");
inline constexpr QLatin1String kProgress("FormProgressi");
inline constexpr QLatin1String kWordLists("FormListe");
// The switch check, shown over the configuration window.
inline constexpr QLatin1String kSwitchCheck("FormProvaSensore");

// The topic menus, in the order of the main menu's buttons.
inline constexpr QLatin1String kSimilarSoundsMenu("FormMenuSuoniSimili");
inline constexpr QLatin1String kCGMenu("FormMenuCG");
inline constexpr QLatin1String kGroupsMenu("FormMenuGruppi");
inline constexpr QLatin1String kDoublesMenu("FormMenuDoppie");
inline constexpr QLatin1String kCQMenu("FormMenuCQ");
inline constexpr QLatin1String kAccentMenu("FormMenuAccento");
inline constexpr QLatin1String kApostropheMenu("FormMenuApostrofo");
inline constexpr QLatin1String kHMenu("FormMenuH");
// The teacher's own lists of the topic menu last shown.
inline constexpr QLatin1String kMyLists("FormMieListe");

// The exercise windows.
inline constexpr QLatin1String kWordExercise("FormEsercizi");
inline constexpr QLatin1String kSentenceExercise("FormEsFrasi");
inline constexpr QLatin1String kReviewExercise("FormEserciziRiep");
inline constexpr QLatin1String kArticleExercise("FormEsercizi3");
inline constexpr QLatin1String kSyllableExercise("FormEsercizi5");

// The worksheets, shown over an exercise.
inline constexpr QLatin1String kWordSheet("formStampa");
inline constexpr QLatin1String kSentenceSheet("formStampaFrasi");

// Every name above.
inline constexpr std::array<QLatin1String, 24> kAll = {kStart, kMainMenu, kAbout, kConfiguration, kRecord,
    kProgress, kWordLists, kSwitchCheck, kSimilarSoundsMenu, kCGMenu, kGroupsMenu, kDoublesMenu, kCQMenu,
    kAccentMenu, kApostropheMenu, kHMenu, kMyLists, kWordExercise, kSentenceExercise, kReviewExercise,
    kArticleExercise, kSyllableExercise, kWordSheet, kSentenceSheet};

} // namespace FormName
