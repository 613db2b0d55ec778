#include "VqGLBloc.h"

CVqGLBloc::CVqGLBloc(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "GLBLOC", {{"LFDGLKU", "LFDGLBLOC"}}) {}

int CVqGLBloc::GetByLfdGLKuFakt(const std::string& lfdGlKu, const std::string& lfdGlKuFakt)
{
    return Select("LFDGLKU=? AND LFDGLKUFAKT=?", {lfdGlKu, lfdGlKuFakt}, 1);
}
