#include "VqLeb.h"

CVqLeb::CVqLeb(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "LEB", {{"LEBID"}}) {}

int CVqLeb::GetAllLebIdWithMdId(const std::string& md)
{
    return Select("MDIDK=? OR MDIDP=?", {md, md}, 1);
}
