#pragma once

// German messages of our own for the analysis tests and benchmarks (never taken from the
// language model's corpus), as ordinary letters: convert them with the converter's rules.

#include "analysis/symbols.h"
#include "files/text_conversion.h"
#include "keyed_message.h"

#include <array>
#include <string>
#include <string_view>

namespace zelmak::testing {

inline constexpr std::array<std::string_view, 6> kGermanMessages = {
    "Die Wetterstation auf der Insel meldet seit dem fruehen Morgen starken Nordwestwind und "
    "schweren Seegang. Alle Boote bleiben bis auf weiteres im Hafen. Der Versorgungsdampfer "
    "wird erst am Donnerstag erwartet, wenn der Sturm nachgelassen hat. Bitte die Vorraete an "
    "Brennstoff und Mehl pruefen und das Ergebnis bis heute Abend an die Leitstelle melden.",

    "Lieber Bruder, wir sind gestern gut in der Stadt angekommen. Die Reise mit der Bahn hat "
    "laenger gedauert als gedacht, weil vor dem Tunnel ein Baum auf den Gleisen lag. Mutter "
    "geht es besser, sie sitzt schon wieder jeden Nachmittag im Garten und liest die Zeitung. "
    "Schreibe uns bald, ob du zu Weihnachten nach Hause kommen kannst.",

    "An das Kommando der dritten Abteilung. Die Bruecke ueber den Fluss ist seit heute Nacht "
    "wieder befahrbar. Die Kolonne soll morgen um sechs Uhr aufbrechen und den Weg ueber das "
    "Dorf nehmen, da die Strasse im Tal noch unter Wasser steht. Der Nachschub an Munition und "
    "Verpflegung folgt am Abend mit den Lastwagen der Pioniere.",

    "Die Sitzung des Ausschusses wird auf den kommenden Montag verschoben, weil der Vorsitzende "
    "erkrankt ist. Die Unterlagen zum neuen Haushalt liegen im Sekretariat bereit und koennen "
    "dort von allen Mitgliedern abgeholt werden. Wir bitten darum, die Einwaende schriftlich "
    "einzureichen, damit sie vor der Abstimmung gelesen werden koennen.",

    "Am Rande des Waldes stand ein altes Haus, in dem seit vielen Jahren niemand mehr wohnte. "
    "Die Kinder aus dem Dorf erzaehlten sich, dass dort nachts ein Licht brenne und jemand "
    "Klavier spiele. Eines Abends fassten zwei Jungen den Mut, durch das zerbrochene Fenster "
    "zu steigen, und fanden nur eine Katze, die auf den Tasten schlief.",

    "Der Zug nach Hamburg faehrt heute wegen Bauarbeiten von Gleis sieben ab und haelt nicht in "
    "allen Orten. Reisende nach Bremen steigen bitte in der Mitte um und nehmen den Bus, der vor "
    "dem Bahnhof wartet. Fahrkarten behalten ihre Gueltigkeit. Wir bitten um Verstaendnis und "
    "wuenschen Ihnen trotz der Verspaetung eine angenehme Fahrt.",
};

// A message as the machine keys it, the space the word space.
inline std::vector<analysis::Symbol> germanSymbols(std::size_t message) {
    return analysis::readCrib(convertForMachine(std::string(kGermanMessages[message])).text);
}

// The card entries a crib of `length` symbols at offset 0 fixes: those of the symbols it holds,
// at both ends of each key. The others are unknown.
inline analysis::Card cardFixedByCrib(const KeyedMessage& k, std::size_t length) {
    analysis::Card card;
    card.fill(analysis::kNoSymbol);
    for (std::size_t j = 0; j < length && j < k.plain.size(); ++j) {
        card[k.plain[j]] = k.card[k.plain[j]];
        card[k.cipher[j]] = k.card[k.cipher[j]];
    }
    return card;
}

} // namespace zelmak::testing
