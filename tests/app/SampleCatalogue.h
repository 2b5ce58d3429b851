#pragma once
// The sample catalogue the program writes on a fresh folder, as its file holds it.
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
