// R-CODE program of the example stick of the VELK tools.
// The dog stands up and greets you when it wakes, reacts to pats on its
// head, back and chin, to hearing its name, and to its pink ball, and lies
// down to sleep when its battery runs low.
//
// VELK7 edits only the lines between a marker line that opens an event
// and the marker line that closes it; everything else stays as it is.
//
// Subroutines that VELK7 offers in its "Subroutines" category:
//++CALL Wag // Wag the tail
//++CALL Greet // Greet and sit down
//++CALL Blink

EDIT

//{ "Wake up" PRE
  SET Power 1 //[PRE]
  PLAY ACTION STAND
  WAIT
  CALL Greet // Greet and sit down
//}

// The main loop looks at the sensors ten times a second. The robot keeps a
// sensor's flag set until the program clears it, so each reaction starts by
// clearing the flag that called it.
:Main
  IF Head_ON = 1 CALL Touch_Head
  IF Back_ON = 1 CALL Touch_Back
  IF Jaw_ON = 1 CALL Touch_Chin
  IF AU_Voice = 1 CALL Name_Heard
  IF Pink_Ball = 1 CALL Ball_Seen
  IF Batt_Rest < 20 CALL Sleep
  WAIT 100
  GO Main

:Touch_Head
  SET Head_ON 0
  //{ "Touch/Head"
    PLAY ACTION SIT
    WAIT
    PLAY ACTION+ HELLO // HELLO.WAV + motion + leds
    WAIT
  //}
  RETURN

:Touch_Back
  SET Back_ON 0
  //{ "Touch/Back"
    PLAY ACTION L_CONTACT.BACK_HAPPY // Pleased by a pat on the back
    WAIT
    SET Eye_Blue 1
    WAIT 500 // Wait 1/2 second
    SET Eye_Blue 0
    CALL Wag // Wag the tail
  //}
  RETURN

:Touch_Chin
  SET Jaw_ON 0
  //{ "Touch/Chin"
  //}
  RETURN

:Name_Heard
  SET AU_Voice 0
//{ "Name heard"
  // Turn towards the voice, then show off
  PLAY ACTION TURN 90 // Turn Left
  WAIT
  PLAY ACTION L_PALONE.DANCE_SHORT // Short dance
  WAIT
  SET Head_Tilt 1
  PUSH 2
  CALL Blink
//}
  RETURN

:Ball_Seen
  SET Pink_Ball 0
  //{ "Ball/Seen" PRE
    //[PRE]: SET Eye_Green 1
  //}
  // Close enough to kick: 200 mm or nearer
  IF Pink_Ball_D <= 200 CALL Ball_Kicked
  RETURN

:Ball_Kicked
  //{ "Ball/Kicked"
    PLAY ACTION KICK 30 1000 // Kick Left
    WAIT
    PLAY ACTION+ BARK_SND // BARK_SND.WAV (audio only)
    WAIT
  //}
  RETURN

//++CALL Sleep // Lie down and sleep
:Greet
  PLAY ACTION L_PHUMAN.WAVE_PAW
  WAIT
  PLAY ACTION SIT
  WAIT
  RETURN

:Wag
  PLAY ACTION L_EDSP.HAPPY_TAIL
  WAIT
  RETURN

:Blink
  PLAY ACTION E_LEDSP.BLINK_NOWAIT
  WAIT
  RETURN

:Sleep
  PLAY ACTION LIE
  WAIT
  PLAY ACTION L_PHYSI.SLEEP
  WAIT
  RETURN

END
