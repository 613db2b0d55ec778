#include "SampleNames.h"

const std::vector<std::string>& FemaleFirstNames()
{
    static const std::vector<std::string> names{
        "Anna", "Maria", "Ursula", "Monika", "Petra", "Sabine", "Claudia", "Susanne",
        "Andrea", "Birgit", "Katrin", "Julia", "Lena", "Sophie", "Hannah", "Lea",
        "Gisela", "Renate", "Ingrid", "Brigitte", "Elke", "Heike", "Martina", "Jana",
        "Melanie", "Sandra", "Nicole", "Stefanie", "Karin", "Marlene", "Jördis", "Bärbel"};
    return names;
}

const std::vector<std::string>& MaleFirstNames()
{
    static const std::vector<std::string> names{
        "Peter", "Michael", "Thomas", "Andreas", "Wolfgang", "Klaus", "Jürgen", "Stefan",
        "Frank", "Uwe", "Bernd", "Markus", "Christian", "Jörg", "Matthias", "Tobias",
        "Lukas", "Jonas", "Felix", "Maximilian", "Paul", "Hans", "Günter", "Horst",
        "Dieter", "Ralf", "Sven", "Florian", "Sebastian", "Helmut", "Björn", "Götz"};
    return names;
}

const std::vector<std::string>& FamilyNames()
{
    static const std::vector<std::string> names{
        "Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker",
        "Schulz", "Hoffmann", "Schäfer", "Koch", "Bauer", "Richter", "Klein", "Wolf",
        "Schröder", "Neumann", "Schwarz", "Zimmermann", "Braun", "Krüger", "Hofmann", "Hartmann",
        "Lange", "Schmitt", "Werner", "Schmitz", "Krause", "Meier", "Lehmann", "Schmid",
        "Schulze", "Maier", "Köhler", "Herrmann", "König", "Walter", "Mayer", "Huber",
        "Kaiser", "Fuchs", "Peters", "Lang", "Scholz", "Möller", "Weiß", "Jung",
        "Hahn", "Vogel", "Friedrich", "Keller", "Günther", "Frank", "Berger", "Winkler",
        "Roth", "Beck", "Lorenz", "Baumann", "Franke", "Albrecht", "Schuster", "Simon",
        "O'Brien", "Groß-Böhm"};
    return names;
}

const std::vector<std::string>& StreetNames()
{
    static const std::vector<std::string> names{
        "Hauptstraße", "Schulstraße", "Gartenstraße", "Bahnhofstraße", "Dorfstraße",
        "Bergstraße", "Birkenweg", "Lindenstraße", "Kirchstraße", "Waldstraße",
        "Ringstraße", "Schillerstraße", "Goethestraße", "Am Markt", "Mühlenweg",
        "Friedrich-Ebert-Straße", "Wiesenweg", "Rosenstraße", "Jahnstraße", "Talstraße",
        "Münchener Straße", "Königsallee", "Uferstraße", "Poststraße"};
    return names;
}

const std::vector<std::string>& Towns()
{
    static const std::vector<std::string> towns{
        "10115 Berlin", "20095 Hamburg", "80331 München", "50667 Köln",
        "60311 Frankfurt am Main", "70173 Stuttgart", "40213 Düsseldorf", "04109 Leipzig",
        "44135 Dortmund", "45127 Essen", "28195 Bremen", "01067 Dresden",
        "30159 Hannover", "90402 Nürnberg", "47051 Duisburg", "44787 Bochum",
        "48143 Münster", "53111 Bonn", "93047 Regensburg", "79098 Freiburg im Breisgau",
        "69117 Heidelberg", "24103 Kiel", "18055 Rostock", "99084 Erfurt",
        "39104 Magdeburg", "14467 Potsdam", "66111 Saarbrücken", "55116 Mainz",
        "65183 Wiesbaden", "97070 Würzburg", "86150 Augsburg", "33602 Bielefeld"};
    return towns;
}

const std::vector<std::string>& ServiceCodes()
{
    static const std::vector<std::string> codes{
        "01", "Ä1", "Ä925a", "12", "13a", "13b", "13c", "25", "32", "38",
        "40", "41a", "43", "44", "105", "107", "IP1", "IP4", "0010", "0070",
        "2060", "2080", "2100", "2197", "3010", "4050", "5070", "8000"};
    return codes;
}

const std::vector<std::string>& LabItems()
{
    static const std::vector<std::string> items{
        "Modell aus Hartgips", "Vollgusskrone", "Verblendung Keramik", "Aufbissschiene",
        "Provisorische Krone", "Teilprothese Modellguss", "Reparatur Prothese", "Funktionsabdrucklöffel"};
    return items;
}
