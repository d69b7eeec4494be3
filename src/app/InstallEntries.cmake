# Run by `cmake --install`: the command link and the desktop entries, made for the
# prefix given at install time. Honours DESTDIR.
set(prefix "${CMAKE_INSTALL_PREFIX}")
# The Exec key takes the program quoted, so that a folder with blanks works; inside
# the quotes \ " ` $ are escaped twice (string escape, then quoting) and % doubled.
set(program "${prefix}/${install_dir}/deskalarm")
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\\\${special}" program "${program}")
endforeach()
string(REPLACE "%" "%%" program "${program}")
set(DESKALARM_EXEC "\"${program}\"")
file(MAKE_DIRECTORY "${work_dir}")
configure_file("${desktop_in}" "${work_dir}/deskalarm.desktop" @ONLY)

# bin/deskalarm -> ../lib/deskalarm/deskalarm; the program finds its folder
# through the link's target.
set(link "$ENV{DESTDIR}${prefix}/bin/deskalarm")
message(STATUS "Installing: ${link}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${prefix}/bin")
file(CREATE_LINK "../${install_dir}/deskalarm" "${link}" SYMBOLIC)
# Listed in install_manifest.txt with the files file(INSTALL) records itself, so
# that `xargs -d '\n' rm -f < build/install_manifest.txt` removes everything installed.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${prefix}/bin/deskalarm")

file(INSTALL "${work_dir}/deskalarm.desktop" DESTINATION "${prefix}/share/applications")

if(want_autostart)
    if(NOT autostart_dir)
        file(REAL_PATH "$ENV{HOME}" home)
        file(REAL_PATH "${prefix}" real_prefix)
        string(FIND "${real_prefix}/" "${home}/" at)
        if(NOT "$ENV{HOME}" STREQUAL "" AND at EQUAL 0)
            if(NOT "$ENV{XDG_CONFIG_HOME}" STREQUAL "")
                set(autostart_dir "$ENV{XDG_CONFIG_HOME}/autostart")
            else()
                set(autostart_dir "${home}/.config/autostart")
            endif()
        else()
            # A shared prefix: the session-wide autostart folder. Note that the
            # program folder must still be writable for the data file.
            set(autostart_dir "/etc/xdg/autostart")
            message(STATUS "deskalarm keeps MSGINI.DDT in ${prefix}/${install_dir}: "
                           "its users need write access there")
        endif()
    endif()
    file(INSTALL "${work_dir}/deskalarm.desktop" DESTINATION "${autostart_dir}")
endif()
