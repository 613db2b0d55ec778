#include "SampleFiles.h"
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

void WriteSampleFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    out.close();
    if (!out)
        throw std::runtime_error("Cannot write " + path.string());
}

namespace {

void WriteOwner(const fs::path& data, const fs::path& qa, const std::string& owner, bool last)
{
    const std::string number = std::to_string(std::stoi(owner));   // "03" -> "3"
    const bool odd = std::stoi(owner) % 2 == 1;
    WriteSampleFile(data / "apps" / ("Logo" + number + "_Praxis.bmp"), "Logo " + owner + "\n");
    if (odd)
        WriteSampleFile(data / "apps" / ("LOGO" + owner + "_Rezept.jpg"), "Logo " + owner + "\n");
    WriteSampleFile(data / "bank" / ("konto." + number), "Konto " + owner + "\n");
    if (!odd)
        WriteSampleFile(data / "bank" / ("bank." + owner + ".txt"), "Bank " + owner + "\n");
    WriteSampleFile(data / "rz" / number / "Abrechnung.dat", "Abrechnung " + owner + "\n");
    WriteSampleFile(data / "rz" / number / "alt" / "Quartal.dat", "Quartal " + owner + "\n");
    if (odd)
        WriteSampleFile(data / "rz" / (owner + " alt") / "Abrechnung.dat", "Archiv " + owner + "\n");
    else
        WriteSampleFile(data / "rz" / owner, "eine Datei, kein Ordner\n");   // stays: only folders go
    for (const std::string& name : {"QS" + owner + ".xml", "Bericht" + owner + ".pdf", "QS" + owner + ".dta",
                                    "QS" + owner + ".idx", "R1" + owner + ".xml"})
        WriteSampleFile(qa / name, "QS " + owner + "\n");
    WriteSampleFile(qa / number / ("QS" + owner + ".xml"), "QS " + owner + "\n");
    WriteSampleFile(qa / number / ("QS" + owner + ".dta"), "QS " + owner + "\n");
    if (!last)   // the last owner has no photo
        WriteSampleFile(data / "fotos" / ("mandant" + owner + ".jpg"), "Foto " + owner + "\n");
}

// Names that look like an owner's but belong to none (owner numbers stay below 10).
void WriteDecoys(const fs::path& data, const fs::path& qa)
{
    for (const char* name : {"Logo13_x.bmp", "Logo_3.bmp", "Logo3.bmp", "Hintergrund.bmp"})
        WriteSampleFile(data / "apps" / name, "bleibt\n");
    WriteSampleFile(data / "apps" / "Logo1_alt" / "Logo1_alt.bmp", "bleibt\n");
    for (const char* name : {"bank.13", "bank3.txt", "bank.0", "sepa.xml"})
        WriteSampleFile(data / "bank" / name, "bleibt\n");
    for (const char* name : {"13", "30", "abc"})
        WriteSampleFile(data / "rz" / name / "Abrechnung.dat", "bleibt\n");
    for (const char* name : {"QS13.xml", ".QS01.xml", "Auswertung.txt"})
        WriteSampleFile(qa / name, "bleibt\n");
    WriteSampleFile(qa / "13" / "QS13.xml", "bleibt\n");
    fs::create_directories(data / "pat");
}

} // namespace

void WriteOwnerFiles(const fs::path& dataFolder, const fs::path& qaFolder, const std::vector<std::string>& owners)
{
    for (std::size_t i = 0; i < owners.size(); ++i)
        WriteOwner(dataFolder, qaFolder, owners[i], i + 1 == owners.size());
    WriteDecoys(dataFolder, qaFolder);
}
