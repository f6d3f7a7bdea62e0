# Read by cpack before it packs. A .zip holds its files' times as local
# time, so cpack packs in UTC: the .zip's bytes then do not depend on the
# time zone of the machine that builds it.
set(ENV{TZ} UTC0)
