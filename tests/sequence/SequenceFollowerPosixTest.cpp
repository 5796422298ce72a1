// What only POSIX systems can put in a followed file's place.

#include "FollowerCases.h"

#include <sys/stat.h>
#include <unistd.h>

std::vector<ChangeCase> PlatformChangeCases() {
    return {ChangeCase{"replaced by what cannot be read, then by a file",
                       ";;;;;5\n",
                       {{[](auto&, auto& p) {
                             ::unlink(p.c_str());
                             ::mkdir(p.c_str(), 0700);
                         },
                         Kind::Unchanged},
                        {[](auto&, auto& p) {
                             ::rmdir(p.c_str());
                             ::mkfifo(p.c_str(), 0600);
                         },
                         Kind::Unchanged},
                        {[](auto& f, auto& p) {
                             ::unlink(p.c_str());
                             f.Write("followed.kzt", ";;;;;8\n");
                         },
                         Kind::Replaced}}}};
}
