#pragma once

// Offline runs of the plug-in, as subcommands of a host program. argv holds
// the subcommand's own arguments (argv[0] is the subcommand's name).

// replay [--workdir DIR] SCENARIO: runs a scenario ("-" reads standard
// input) and writes its trace to standard output. Exit status 0 when the
// scenario ran, 2 when it is not valid or cannot be carried out.
int replay_main(int argc, char** argv);

// check-rules --data-id N --settings FILE [--workdir DIR]: reads the
// settings as the host would and checks the rules loaded against the display
// document's member names. Exit status 0 when clean, 1 with findings, 2 when
// the settings reader failed or the arguments are wrong.
int check_rules_main(int argc, char** argv);
