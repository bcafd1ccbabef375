#pragma once

// Classes and functions whose bodies live in the loading process. They keep
// default visibility so that the plug-in, built with hidden visibility,
// leaves references to them undefined and the dynamic loader binds them to
// the host's definitions.
#define HOST_API __attribute__((visibility("default")))
