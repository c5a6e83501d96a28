// R-CODE program of the example stick of the VELK tools.
// The dog stands up and greets you when it wakes, reacts to pats on its
// head, back and chin, to hearing its name, and to its pink ball.
//
// VELK7 edits only the lines between a marker line that opens an event
// and the marker line that closes it; everything else stays as it is.
//
// Subroutines that VELK7 offers in its "Subroutines" category:
//++CALL Wag // Wag the tail
//++CALL Greet // Greet and sit down
//++CALL Blink

EDIT

:Start
//{ "Wake up" PRE
  SET Power 1 //[PRE]
  PLAY ACTION STAND
  WAIT
  CALL Greet // Greet and sit down
//}

:Main
  IF Head_ON = 1 THEN CALL Touch_Head
  IF Back_ON = 1 THEN CALL Touch_Back
  IF Chin_ON = 1 THEN CALL Touch_Chin
  IF Voice_Name = 1 THEN CALL Name_Heard
  IF Ball_Seen = 1 THEN CALL Ball_Seen
  IF Ball_Kicked = 1 THEN CALL Ball_Kicked
  WAIT 100
  GO Main

:Touch_Head
  //{ "Touch/Head"
    PLAY ACTION SIT
    WAIT
    PLAY ACTION+ HELLO // HELLO.WAV + motion + leds
    WAIT
  //}
  RETURN

:Touch_Back
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
  //{ "Touch/Chin"
  //}
  RETURN

:Name_Heard
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
  //{ "Ball/Seen" PRE
    //[PRE]: SET Eye_Green 1
  //}
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
  SET Eye_Blue 1
  WAIT 250
  SET Eye_Blue 0
  RETURN

:Sleep
  PLAY ACTION LIE
  WAIT
  PLAY ACTION L_PHYSI.SLEEP
  WAIT
  RETURN

END
