# Run by `cmake --install`: the command links, the desktop entries and the user
# unit, made for the prefix given at install time. Honours DESTDIR. Every file
# and folder is installed with explicit permissions (never writable by group or
# others), whatever the umask.
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(read_only OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The Exec key takes the program quoted, so that a folder with blanks works; inside
# the quotes \ " ` $ are escaped twice (string escape, then quoting) and % doubled.
set(program "${prefix}/${install_dir}/deskalarm")
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\\\${special}" program "${program}")
endforeach()
string(REPLACE "%" "%%" program "${program}")
set(DESKALARM_EXEC "\"${program}\"")
# The user unit's ExecStart quotes it too, % doubled. systemd takes no quote or
# backslash in a program's name: such a folder reaches a shell as an argument,
# escaped as arguments are ($ doubled too), never as a command.
set(program "${prefix}/${install_dir}/deskalarm")
string(REPLACE "%" "%%" program "${program}")
set(DESKALARM_SERVICE_EXEC "\"${program}\"")
if(program MATCHES "[\"'\\]")
    foreach(special "\\" "\"")
        string(REPLACE "${special}" "\\${special}" program "${program}")
    endforeach()
    string(REPLACE "$" "$$" program "${program}")
    set(DESKALARM_SERVICE_EXEC "/bin/sh -c 'exec \"$$0\"' \"${program}\"")
endif()
if(package_layout)
    set(DESKALARM_EXEC deskalarm) # /usr/bin is on everyone's PATH
    set(DESKALARM_SERVICE_EXEC "${prefix}/bin/deskalarm")
endif()
file(MAKE_DIRECTORY "${work_dir}")
configure_file("${desktop_in}" "${work_dir}/deskalarm.desktop" @ONLY)
configure_file("${service_in}" "${work_dir}/deskalarm.service" @ONLY)

# bin/deskalarm -> ../lib/deskalarm/deskalarm, and so for deskalarm-items; each
# program finds its folder through the link's target. Installed as links, and
# listed in install_manifest.txt, so that
# `xargs -d '\n' rm -f < build/install_manifest.txt` removes everything installed.
foreach(command deskalarm deskalarm-items)
    file(CREATE_LINK "../${install_dir}/${command}" "${work_dir}/${command}" SYMBOLIC)
    file(INSTALL "${work_dir}/${command}" DESTINATION "${prefix}/bin")
endforeach()

file(INSTALL "${work_dir}/deskalarm.desktop" DESTINATION "${prefix}/share/applications"
     FILE_PERMISSIONS ${read_only})

# Installed for every user, each keeping their data file in their own data
# folder: the autostart entry and the user unit are the system's, which each
# user can switch off. The package enables the unit (dh_installsystemduser).
if(package_layout)
    if(system_autostart_dir)
        file(INSTALL "${work_dir}/deskalarm.desktop" DESTINATION "${system_autostart_dir}"
             FILE_PERMISSIONS ${read_only})
        file(INSTALL "${work_dir}/deskalarm.service" DESTINATION "${prefix}/lib/systemd/user"
             FILE_PERMISSIONS ${read_only})
    endif()
    return()
endif()

# The program keeps its data file beside itself, so each user runs a copy of
# their own: only a prefix in the user's home folder is one the clock can run
# from. For a shared prefix there is no autostart entry (every user's session
# would start a clock that cannot keep its items), and a word to say so.
set(home "")
if(NOT "$ENV{HOME}" STREQUAL "" AND NOT "$ENV{HOME}" STREQUAL "/")
    file(REAL_PATH "$ENV{HOME}" home)
endif()
file(REAL_PATH "${prefix}" real_prefix)
string(FIND "${real_prefix}/" "${home}/" at)
if(home STREQUAL "" OR NOT at EQUAL 0)
    message(NOTICE "deskalarm keeps its alarms (MSGINI.DDT) beside the program, so each user "
                   "should install a copy of their own, e.g. `cmake --install <build folder> "
                   "--prefix ~/.local`. ${prefix} is outside your home folder: no autostart "
                   "entry was installed. Do not make ${prefix}/${install_dir} writable for "
                   "others: any of them could then replace the program the others run.")
elseif(want_autostart)
    set(config_home "${home}/.config")
    if(NOT "$ENV{XDG_CONFIG_HOME}" STREQUAL "")
        set(config_home "$ENV{XDG_CONFIG_HOME}")
    endif()
    set(data_home "${home}/.local/share")
    if(NOT "$ENV{XDG_DATA_HOME}" STREQUAL "")
        set(data_home "$ENV{XDG_DATA_HOME}")
    endif()
    file(INSTALL "${work_dir}/deskalarm.desktop" DESTINATION "${config_home}/autostart"
         FILE_PERMISSIONS ${read_only})
    # The unit goes where systemd looks for the user's own packages' units, and is
    # enabled as `systemctl --user enable` would: a link in the user's configuration.
    # A unit file in the configuration folder itself could not be masked.
    file(INSTALL "${work_dir}/deskalarm.service" DESTINATION "${data_home}/systemd/user"
         FILE_PERMISSIONS ${read_only})
    file(MAKE_DIRECTORY "${work_dir}/wants")
    file(CREATE_LINK "${data_home}/systemd/user/deskalarm.service"
         "${work_dir}/wants/deskalarm.service" SYMBOLIC)
    file(INSTALL "${work_dir}/wants/deskalarm.service"
         DESTINATION "${config_home}/systemd/user/graphical-session.target.wants")
endif()
