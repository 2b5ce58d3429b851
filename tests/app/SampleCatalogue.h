#pragma once
// Catalogue files of the suites: the sample catalogue the program writes on a fresh folder, as its
// file holds it; six standards for the searches; three standards of three states, one of them
// held only as "Brak - Uznaniowa".
#include "platform/core/Types.h"

inline const AnsiString SampleCatalogueFile =
    "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||Aluminium|Blachy do głębokiego tłoczenia|\r\n"
    "PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne na korozję|Część 1: Gatunki stali odpornych na korozję|\r\n"
    "PN-M-82144:1986|Nieaktualna|Jest|PN-EN ISO 4032:2004|Nakrętki sześciokątne||\r\n"
    "PN-EN ISO 11600:2004|Aktualna|Brak||Konstrukcje budowlane|Wyroby do uszczelniania - Klasyfikacja i wymagania "
    "dotyczące kitów|\r\n"
    "PN-O-79162:1991|Zastąpiona uznaniowo|Jest|PN-EN ISO 2244:2003 (U)|Opakowania transportowe z zawartością|"
    "Metoda badania odporności na uderzenia poziome (badanie na płaszczyźnie poziomej lub na pochylni, badanie za "
    "pomocą urządzenia wahadłowego)|\r\n"
    "KW-01/VODUZ/T-001|Norma zakładowa|Brak||ITAMID BGF35-30||\r\n"
    "PN-EN ISO 1207:1999|Aktualna|Jest||Wkręty z łbem walcowym z rowkiem|Klasa dokładności A|\r\n";

inline const AnsiString SearchCatalogueFile =
    "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||Aluminium|Blachy do głębokiego tłoczenia|\r\n"
    "PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne na korozję|Część 1: Gatunki stali odpornych na korozję|\r\n"
    "PN-M-82144:1986|Nieaktualna|Jest|PN-EN ISO 4032:2004|Nakrętki sześciokątne||\r\n"
    "PN-EN ISO 11600:2004|Aktualna|Brak||Konstrukcje budowlane|Wyroby do uszczelniania|\r\n"
    "PN-EN 10130:2007|Aktualna|Brak||Wyroby płaskie ze stali|Stal niskowęglowa|\r\n"
    "KW-01/VODUZ/T-001|Norma zakładowa|Brak||ITAMID ŁĄCZNIK EN||\r\n";

inline const AnsiString ThreeStandardsFile = "PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne|Część 1|\r\n"
                                             "PN-M-82144:1986|Nieaktualna|Brak - Uznaniowa|PN-EN ISO 4032:2004|"
                                             "Nakrętki||\r\n"
                                             "KW-01|Inna|Jest||Itamid||\r\n";
